#pragma once

// The X11 desktop suites, inside scripts/with-desktop-session: a private home with desktop
// entries for the test windows (one GTK program serves them all, told apart by the entry it
// was launched from), the means to press keys and look at windows, the real Orvex with its
// output kept in files, and the Linux backend in this process.
#include <gtest/gtest.h>  // before the X11 headers, whose macros clash with it

#include <QCoreApplication>  // Qt as well
#include <QEventLoop>

#include "app/ui/qt_main_queue.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <signal.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <thread>

#include "base/json.h"
#include "desktop/linux/x11/linux_desktop.h"
#include "desktop/linux/x11/x11_applications.h"
#include "desktop/linux/x11/x11_display.h"
#include "desktop/linux/x11/x11_keyboard.h"
#include "testing/child_process.h"
#include "testing/source_tree.h"
#include "testing/temp_dir.h"
#include "tools/inputaim/desktop_tests/required_tools.h"

namespace orvex::testing {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using linux_desktop::X11Display;

// Turns Qt's event loop (the clipboard and the backend's main queue live on it) until
// `condition` holds or `limit` passes.
inline bool pumpUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds limit = 10s) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (true) {
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(20ms);
    }
}
inline void pumpFor(std::chrono::milliseconds duration) {
    pumpUntil([] { return false; }, duration);
}

inline std::size_t countOf(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// A preset; with a destination, one that sends there, after `prompt` when there is one.
inline Json preset(const std::string& id, const std::string& destination = {},
                   const std::string& prompt = {}) {
    Json preset{{"type", "preset"}, {"id", id}, {"label", id}};
    if (!destination.empty()) {
        preset["destination"] = destination;
        preset["destinations"] = Json::array({destination});
    }
    if (!prompt.empty())
        preset["fixedPrompt"] = prompt;
    return preset;
}

class OrvexDesktop : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY"))
            ORVEX_SKIP_UNLESS_REQUIRED("needs scripts/with-desktop-session");
        for (const fs::path& dir : {dataHome_, configHome_ / "orvex", tmp_, root_ / "Desktop"})
            fs::create_directories(dir);
        entry("org.orvex.TestEditor", "Test Editor", "--editor hello");
        entry("com.openai.codex", "Test Chat", "--record " + chatRecord_.string());
        entry("org.orvex.TestBrowser", "Test Browser",
              "--record " + browserRecord_.string() + " %u", "MimeType=x-scheme-handler/https;\n");
        entry("org.orvex.TestViewer", "Test Viewer", "--editor-file %f", "MimeType=text/plain;\n");
        // What installing the entries would leave: GIO finds an application for a type
        // through this cache, and the user's choice of default in mimeapps.list.
        writeText(dataHome_ / "applications" / "mimeinfo.cache",
                  "[MIME Cache]\nx-scheme-handler/https=org.orvex.TestBrowser.desktop;\n"
                  "text/plain=org.orvex.TestViewer.desktop;\n");
        writeText(configHome_ / "mimeapps.list",
                  "[Default Applications]\ntext/plain=org.orvex.TestViewer.desktop\n");
        std::string problem;
        display_ = X11Display::open(&problem);
        ASSERT_TRUE(display_) << problem;
        keyboard_ = linux_desktop::XTestKeyboard::create(X11Display::open(&problem), clock_, {}, {},
                                                         &problem);
        ASSERT_TRUE(keyboard_) << problem;
        apps_ = std::make_shared<linux_desktop::X11Applications>(
            X11Display::open(&problem),
            std::make_shared<const linux_desktop::AppIdentityResolver>());
    }
    void TearDown() override {
        orvex_.reset();
        windows_.clear();
        // Windows Orvex started (through their entries) belong to no test object; they
        // must not linger into the next test, which would deliver to them.
        auto ours = [](const linux_desktop::X11AppInfo& app) {
            return app.bundleIdentifier.starts_with("org.orvex.Test") ||
                   app.bundleIdentifier == "com.openai.codex";
        };
        if (!apps_)
            return;
        for (const auto& app : apps_->applications()) {
            if (ours(app))
                kill(app.pid, SIGTERM);
        }
        pumpUntil([&] { return std::ranges::none_of(apps_->applications(), ours); });
    }

    // An application entry running the test window program with `arguments`.
    void entry(const std::string& id, const std::string& name, const std::string& arguments,
               const std::string& extra = {}) {
        fs::create_directories(dataHome_ / "applications");
        writeText(dataHome_ / "applications" / (id + ".desktop"),
                  "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" +
                      builtProgram("orvex-test-chat-window") + " " + arguments + "\n" + extra);
    }
    std::map<std::string, std::string> environment() {
        auto env = extraEnvironment_;  // over these
        env.insert({{"HOME", root_.string()},
                    {"XDG_CONFIG_HOME", configHome_.string()},
                    {"XDG_DATA_HOME", dataHome_.string()},
                    {"TMPDIR", tmp_.string()},
                    {"LANG", "C.UTF-8"},
                    {"LANGUAGE", ""}});
        return env;
    }

    fs::path settingsFile() { return configHome_ / "orvex" / "settings.json"; }
    void writeSettings(const Json& presets) {
        Json settings{{"presets", presets}, {"tutorialCompleted", true}, {"language", "en"}};
        writeText(settingsFile(), toPrettyJson(settings));
    }
    Json savedSettings() { return Json::parse(readText(settingsFile())); }
    // Starts Orvex and waits until it answers commands. Without windows unless asked: the
    // backend's tests want the test windows to keep the focus.
    void startOrvex(const std::vector<std::string>& arguments = {"--headless"}) {
        // The output files come first; the arguments for Orvex follow them.
        std::vector<std::string> command{
            "/bin/sh",
            "-c",
            "echo ready; out=$1; err=$2; shift 2; exec \"$0\" --verbose \"$@\" >\"$out\" "
            "2>\"$err\"",
            builtProgram("orvex"),
            root_ / "orvex.out",
            root_ / "orvex.err"};
        command.insert(command.end(), arguments.begin(), arguments.end());
        orvex_ = std::make_unique<BackgroundChild>(command, environment());
        ASSERT_TRUE(orvex_->waitUntilReady(10s));
        auto alive = [&] { return kill(orvex_->pid(), 0) == 0; };
        ASSERT_TRUE(pumpUntil([&] { return cli({"app.status"}) == 0 || !alive(); }, 20s));
        ASSERT_TRUE(alive()) << output() << errors();
    }
    std::string output() { return readText(root_ / "orvex.out"); }
    // Whether Orvex's output shows `text` within `limit`.
    bool says(const std::string& text, std::chrono::milliseconds limit = 10s) {
        return pumpUntil([&] { return output().find(text) != std::string::npos; }, limit);
    }
    std::string errors() { return readText(root_ / "orvex.err"); }
    int cli(const std::vector<std::string>& arguments) {
        std::vector<std::string> command{builtProgram("orvex-cli")};
        command.insert(command.end(), arguments.begin(), arguments.end());
        ChildResult result = runChild(command, environment(), 30s);
        if (result.exitCode != 0)
            std::cerr << "orvex-cli failed: " << result.out << result.err << "\n";
        return result.exitCode;
    }

    // Starts a program that prints "ready" once it is up; it is stopped with the test.
    BackgroundChild& start(const std::vector<std::string>& command,
                           const std::map<std::string, std::string>& env) {
        windows_.push_back(std::make_unique<BackgroundChild>(command, env));
        if (!windows_.back()->waitUntilReady(15s))
            throw std::runtime_error(command.front() + " did not start");
        return *windows_.back();
    }
    // The test window program, as if launched from the entry `id`.
    BackgroundChild& window(std::vector<std::string> arguments, const std::string& id) {
        arguments.insert(arguments.begin(), builtProgram("orvex-test-chat-window"));
        auto env = environment();
        env["GIO_LAUNCHED_DESKTOP_FILE"] =
            (dataHome_ / "applications" / (id + ".desktop")).string();
        return start(arguments, env);
    }
    BackgroundChild& editor(const std::string& text) {
        return window({"--editor", text}, "org.orvex.TestEditor");
    }
    BackgroundChild& chat() {
        return window({"--record", chatRecord_.string()}, "com.openai.codex");
    }
    bool frontmostIs(pid_t pid) {
        auto front = apps_->frontmost();
        return front && front->pid == pid;
    }
    // Minimizes the process's window and waits until the window manager says so.
    bool minimize(pid_t pid) {
        kill(pid, SIGUSR1);
        return pumpUntil([&] {
            auto windows = apps_->windowsOf(pid);
            return !windows.empty() && windows.front().hidden;
        });
    }

    // Grabs a key on the root window as another client would (a grab of Orvex's own is
    // refused with BadAccess); the X error code.
    int grabFromHere(KeySym keysym, unsigned int modifiers, bool keep = false) {
        auto lock = display_->lock();
        linux_desktop::X11ErrorTrap trap(display_->raw());
        KeyCode code = XKeysymToKeycode(display_->raw(), keysym);
        XGrabKey(display_->raw(), code, modifiers, display_->root(), False, GrabModeAsync,
                 GrabModeAsync);
        int error = trap.sync();
        if (error == Success && !keep)
            XUngrabKey(display_->raw(), code, modifiers, display_->root());
        XSync(display_->raw(), False);
        return error;
    }
    void press(KeySym keysym, bool alt, bool shift = false, bool control = false) {
        linux_desktop::KeyChord chord{static_cast<std::uint32_t>(keysym), shift, control, alt};
        ASSERT_EQ(keyboard_->sendChord(chord), std::nullopt);
    }

    TempDir home_;
    fs::path root_ = home_.path(), dataHome_ = root_ / "data", configHome_ = root_ / "config",
             tmp_ = root_ / "tmp", chatRecord_ = root_ / "chat.jsonl",
             browserRecord_ = root_ / "browser.jsonl";
    RealClock clock_;
    std::unique_ptr<X11Display> display_;
    std::unique_ptr<linux_desktop::XTestKeyboard> keyboard_;
    std::shared_ptr<linux_desktop::X11Applications> apps_;
    std::unique_ptr<BackgroundChild> orvex_;
    std::vector<std::unique_ptr<BackgroundChild>> windows_;
    std::map<std::string, std::string> extraEnvironment_;  // for Orvex and the tools
};

// The Linux desktop backend in this process, on the same private home.
class BackendFixture : public OrvexDesktop {
  protected:
    void SetUp() override {
        OrvexDesktop::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        // The backend finds the test entries through the environment.
        queue_ = std::make_unique<QtMainQueue>(clock_);
        if (const char* old = std::getenv("XDG_DATA_HOME"))
            savedDataHome_ = old;
        setenv("XDG_DATA_HOME", dataHome_.c_str(), 1);
        auto created = linux_desktop::LinuxDesktop::create(*queue_, clock_, {root_ / "orvex", {}});
        ASSERT_TRUE(created.desktop) << created.error;
        backend_ = std::move(created.desktop);
    }
    void TearDown() override {
        windows_.clear();
        backend_.reset();
        if (queue_)
            savedDataHome_ ? setenv("XDG_DATA_HOME", savedDataHome_->c_str(), 1)
                           : unsetenv("XDG_DATA_HOME");
        queue_.reset();  // with the work the backend left on it
        OrvexDesktop::TearDown();
    }

    Desktop& desktop() { return backend_->desktop(); }
    // In front as the backend sees it.
    bool frontmostIs(pid_t pid) {
        auto front = desktop().runningApplications->frontmostApplication();
        return front && front->processIdentifier() == pid;
    }

    std::unique_ptr<QtMainQueue> queue_;
    std::unique_ptr<linux_desktop::LinuxDesktop> backend_;
    std::optional<std::string> savedDataHome_;
};

}  // namespace orvex::testing

#pragma once

// The real Orvex on the X11 desktop, for the end-to-end tests: its process with the output
// kept in files, and a fixture with a private home, settings, desktop entries for the test
// windows, and the means to press keys and look at windows.
#include <gtest/gtest.h>  // before the X11 headers, whose macros clash with it

#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <thread>

#include "base/json.h"
#include "desktop/linux/x11/desktop_tests/desktop_test_support.h"
#include "desktop/linux/x11/x11_applications.h"
#include "desktop/linux/x11/x11_display.h"
#include "desktop/linux/x11/x11_keyboard.h"

namespace orvex::testing {

namespace fs = std::filesystem;
using linux_desktop::X11Display;

// The Orvex program, its output kept in files.
class OrvexProcess {
  public:
    OrvexProcess(const std::map<std::string, std::string>& environment, const fs::path& logs)
        : out_(logs / "orvex.out"), err_(logs / "orvex.err") {
        std::vector<std::string> envText = mergedEnvironment(environment);
        std::vector<char*> envp;
        for (auto& text : envText)
            envp.push_back(text.data());
        envp.push_back(nullptr);
        std::string program = binary("orvex");
        std::string verbose = "--verbose";
        char* argv[] = {program.data(), verbose.data(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_addopen(&actions, 2, err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv, envp.data()) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~OrvexProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            for (int i = 0; i < 100 && waitpid(pid_, nullptr, WNOHANG) == 0; ++i)
                std::this_thread::sleep_for(50ms);
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    bool alive() const { return pid_ > 0 && kill(pid_, 0) == 0; }
    std::string output() const { return readFile(out_); }
    std::string errors() const { return readFile(err_); }

  private:
    fs::path out_, err_;
    pid_t pid_ = -1;
};

inline Json preset(const std::string& id, const std::string& label) {
    return Json{{"type", "preset"}, {"id", id}, {"label", label}};
}

class OrvexDesktop : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY"))
            ORVEX_SKIP_UNLESS_REQUIRED("needs scripts/with-desktop-session");
        root_ = home_.path();
        dataHome_ = root_ / "data";
        configHome_ = root_ / "config";
        tmp_ = root_ / "tmp";
        for (const fs::path& dir : {dataHome_, configHome_ / "orvex", tmp_, root_ / "Desktop"})
            fs::create_directories(dir);
        chatRecord_ = root_ / "chat.jsonl";
        browserRecord_ = root_ / "browser.jsonl";
        const std::string window = binary("orvex-test-chat-window");
        writeDesktopEntry(dataHome_, "org.orvex.TestEditor", "Test Editor",
                          window + " --editor hello");
        writeDesktopEntry(dataHome_, "com.openai.codex", "Test Chat",
                          window + " --record " + chatRecord_.string());
        writeDesktopEntry(dataHome_, "org.orvex.TestBrowser", "Test Browser",
                          window + " --record " + browserRecord_.string() + " %u",
                          "MimeType=x-scheme-handler/https;\n");
        writeDesktopEntry(dataHome_, "org.orvex.TestViewer", "Test Viewer",
                          window + " --editor-file %f", "MimeType=text/plain;\n");
        // What installing the entries would leave: GIO finds an application for a type
        // through this cache, and the user's choice of default in mimeapps.list.
        std::ofstream(dataHome_ / "applications" / "mimeinfo.cache")
            << "[MIME Cache]\nx-scheme-handler/https=org.orvex.TestBrowser.desktop;\n"
            << "text/plain=org.orvex.TestViewer.desktop;\n";
        std::ofstream(configHome_ / "mimeapps.list")
            << "[Default Applications]\ntext/plain=org.orvex.TestViewer.desktop\n";
        std::string problem;
        display_ = X11Display::open(&problem);
        ASSERT_TRUE(display_) << problem;
        auto keyboardDisplay = X11Display::open(&problem);
        keyboard_ = linux_desktop::XTestKeyboard::create(std::move(keyboardDisplay), clock_, {}, {},
                                                         &problem);
        ASSERT_TRUE(keyboard_) << problem;
        auto appsDisplay = X11Display::open(&problem);
        apps_ = std::make_shared<linux_desktop::X11Applications>(
            std::move(appsDisplay), std::make_shared<const linux_desktop::AppIdentityResolver>());
    }
    void TearDown() override {
        orvex_.reset();
        windows_.clear();
        // Windows Orvex started (through their entries) belong to no test object; they
        // must not linger into the next test, which would deliver to them.
        if (!apps_)
            return;
        for (const auto& app : apps_->applications()) {
            if (app.bundleIdentifier.starts_with("org.orvex.Test") ||
                app.bundleIdentifier == "com.openai.codex")
                kill(app.pid, SIGTERM);
        }
        pumpUntil([&] {
            for (const auto& app : apps_->applications()) {
                if (app.bundleIdentifier.starts_with("org.orvex.Test") ||
                    app.bundleIdentifier == "com.openai.codex")
                    return false;
            }
            return true;
        });
    }

    std::map<std::string, std::string> environment() {
        std::map<std::string, std::string> env{{"HOME", root_.string()},
                                               {"XDG_CONFIG_HOME", configHome_.string()},
                                               {"XDG_DATA_HOME", dataHome_.string()},
                                               {"TMPDIR", tmp_.string()},
                                               {"LANG", "C.UTF-8"},
                                               {"LANGUAGE", ""}};
        for (auto& [key, value] : extraEnvironment_)
            env[key] = value;
        return env;
    }
    std::map<std::string, std::string> launchedFrom(const std::string& id) {
        auto env = environment();
        env["GIO_LAUNCHED_DESKTOP_FILE"] =
            (dataHome_ / "applications" / (id + ".desktop")).string();
        return env;
    }

    void writeSettings(const Json& presets) {
        Json settings{{"presets", presets}, {"tutorialCompleted", true}, {"language", "en"}};
        std::ofstream(configHome_ / "orvex" / "settings.json") << toPrettyJson(settings);
    }

    // Starts Orvex and waits until it answers commands.
    void startOrvex() {
        orvex_ = std::make_unique<OrvexProcess>(environment(), root_);
        ASSERT_TRUE(pumpUntil([&] { return cli({"app.status"}) == 0 || !orvex_->alive(); }, 20s));
        ASSERT_TRUE(orvex_->alive()) << orvex_->output() << orvex_->errors();
    }
    int cli(const std::vector<std::string>& arguments) {
        std::vector<std::string> command{binary("orvex-cli")};
        command.insert(command.end(), arguments.begin(), arguments.end());
        ChildResult result = runChild(command, environment(), 30s);
        if (result.exitCode != 0)
            std::cerr << "orvex-cli failed: " << result.out << result.err << "\n";
        return result.exitCode;
    }

    BackgroundChild& window(const std::vector<std::string>& arguments, const std::string& entry) {
        std::vector<std::string> command{binary("orvex-test-chat-window")};
        command.insert(command.end(), arguments.begin(), arguments.end());
        auto child = startWindow(command, launchedFrom(entry));
        if (!child)
            throw std::runtime_error("test window did not start");
        windows_.push_back(std::move(child));
        return *windows_.back();
    }
    BackgroundChild& editor(const std::string& text) {
        return window({"--editor", text}, "org.orvex.TestEditor");
    }
    bool frontmostIs(pid_t pid) {
        auto front = apps_->frontmost();
        return front && front->pid == pid;
    }

    // Whether some client holds a key on the root window (a grab of our own is refused).
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
    void press(KeySym keysym, bool alt) {
        linux_desktop::KeyChord chord;
        chord.keysym = static_cast<std::uint32_t>(keysym);
        chord.alt = alt;
        ASSERT_EQ(keyboard_->sendChord(chord), std::nullopt);
    }
    bool recordHas(const fs::path& file, const std::string& line) {
        return readFile(file).find(line) != std::string::npos;
    }

    TempDirectory home_;
    fs::path root_, dataHome_, configHome_, tmp_, chatRecord_, browserRecord_;
    RealClock clock_;
    std::unique_ptr<X11Display> display_;
    std::unique_ptr<linux_desktop::XTestKeyboard> keyboard_;
    std::shared_ptr<linux_desktop::X11Applications> apps_;
    std::unique_ptr<OrvexProcess> orvex_;
    std::vector<std::unique_ptr<BackgroundChild>> windows_;
    std::map<std::string, std::string> extraEnvironment_;  // for Orvex and the tools
};

}  // namespace orvex::testing

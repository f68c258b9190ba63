// The real Orvex on the X11 desktop: presets started by their global shortcuts (synthetic
// key presses) and by orvex-cli copy from a GTK editor and deliver to a GTK chat window, a
// terminal and the last input field; the app and file actions; captures with maim. Run
// inside scripts/with-desktop-session.
#include <gtest/gtest.h>  // before the X11 headers, whose macros clash with it

#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <X11/extensions/XTest.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include "base/json.h"
#include "desktop/linux/x11/desktop_tests/desktop_test_support.h"
#include "desktop/linux/x11/x11_applications.h"
#include "desktop/linux/x11/x11_display.h"
#include "desktop/linux/x11/xtest_keyboard.h"

extern char** environ;

namespace orvex::testing {
namespace {

namespace fs = std::filesystem;
using linux_desktop::X11Display;

// The Orvex program, its output kept in files.
class OrvexProcess {
  public:
    OrvexProcess(const std::map<std::string, std::string>& environment, const fs::path& logs)
        : out_(logs / "orvex.out"), err_(logs / "orvex.err") {
        std::vector<std::string> envText;
        std::map<std::string, std::string> merged;
        for (char** entry = environ; *entry; ++entry) {
            std::string text(*entry);
            auto equals = text.find('=');
            if (equals != std::string::npos)
                merged[text.substr(0, equals)] = text.substr(equals + 1);
        }
        for (auto& [key, value] : environment)
            merged[key] = value;
        for (auto& [key, value] : merged)
            envText.push_back(key + "=" + value);
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

Json preset(const std::string& id, const std::string& label) {
    return Json{{"type", "preset"}, {"id", id}, {"label", label}};
}

class OrvexDesktop : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "needs scripts/with-desktop-session";
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
        keyboard_ =
            linux_desktop::XTestKeyboard::create(std::move(keyboardDisplay), clock_, {}, &problem);
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
        return {{"HOME", root_.string()},
                {"XDG_CONFIG_HOME", configHome_.string()},
                {"XDG_DATA_HOME", dataHome_.string()},
                {"TMPDIR", tmp_.string()},
                {"LANG", "C.UTF-8"},
                {"LANGUAGE", ""}};
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
        return runChild(command, environment(), 30s).exitCode;
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
};

TEST_F(OrvexDesktop, AShortcutCopiesTheEditorsSelectionIntoTheChatAppWithItsPrompt) {
    Json ask = preset("ask", "Ask");
    ask["shortcut"] = "Alt+D";
    ask["destination"] = "chatgpt-app";
    ask["destinations"] = Json::array({"chatgpt-app"});
    ask["fixedPrompt"] = "Explain:";
    Json twin = preset("twin", "Twin");
    twin["shortcut"] = "Alt+D";
    Json taken = preset("taken", "Taken");
    taken["shortcut"] = "Alt+G";
    writeSettings(Json::array({ask, twin, taken}));
    // Another application holds Alt+G before Orvex starts.
    ASSERT_EQ(grabFromHere(XK_g, Mod1Mask, /*keep=*/true), Success);

    BackgroundChild& source = editor("Sélection 42");
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(source.pid()); }));
    startOrvex();
    ASSERT_TRUE(pumpUntil([&] { return grabFromHere(XK_d, Mod1Mask) == BadAccess; }));
    std::string output = orvex_->output();
    EXPECT_NE(output.find("Failed to register shortcut: Alt+D (status: 10)"), std::string::npos)
        << output;
    EXPECT_NE(output.find("Failed to register shortcut: Alt+G (status: 10)"), std::string::npos)
        << output;

    // The chat app is not running: Orvex launches it from its entry, focuses its input
    // with inputaim, pastes and sends.
    press(XK_d, true);
    ASSERT_TRUE(pumpUntil([&] { return recordHas(chatRecord_, "Sélection"); }, 40s))
        << orvex_->errors();
    EXPECT_EQ(readFile(chatRecord_), "{\"images\":[],\"text\":\"Explain:\\nSélection 42\"}\n");
    // The status line followed the run: sending, then sent.
    const std::string statuses = orvex_->output();
    const auto sending = statuses.find("status: Sending…");
    ASSERT_NE(sending, std::string::npos) << statuses;
    ASSERT_TRUE(pumpUntil([&] {
        return orvex_->output().find("status: Sent.") != std::string::npos;
    })) << orvex_->output();

    // Again, now with the chat running: it is activated, not started a second time.
    ASSERT_TRUE(apps_->activate(source.pid()));
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(source.pid()); }));
    press(XK_d, true);
    ASSERT_TRUE(
        pumpUntil([&] { return readFile(chatRecord_).find("\n{") != std::string::npos; }, 30s));
    std::size_t chats = 0;
    for (auto& app : apps_->applications())
        chats += app.bundleIdentifier == "com.openai.codex";
    EXPECT_EQ(chats, 1u);
}

TEST_F(OrvexDesktop, TextGoesToTheTerminalWhereCatWritesIt) {
    Json toTerminal = preset("term", "To terminal");
    toTerminal["destination"] = "terminal";
    toTerminal["destinations"] = Json::array({"terminal"});
    toTerminal["fixedPrompt"] = "Review";
    writeSettings(Json::array({toTerminal}));
    fs::path typed = root_ / "typed.txt";
    auto terminal = startWindow({"/bin/sh", "-c",
                                 "xterm -u8 -e sh -c 'stty -echo; cat > " + typed.string() +
                                     "' & pid=$!; trap 'kill $pid' TERM; echo ready; wait $pid"},
                                environment());
    ASSERT_TRUE(terminal);
    ASSERT_TRUE(pumpUntil([&] {
        for (auto& app : apps_->applications()) {
            if (app.windowClass && app.windowClass->className == "XTerm")
                return true;
        }
        return false;
    }));
    BackgroundChild& source = editor("ls -la");
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(source.pid()); }));
    startOrvex();
    ASSERT_EQ(cli({"preset.execute", "--id", "term"}), 0);
    ASSERT_TRUE(
        pumpUntil([&] { return readFile(typed).find("ls -la\n") != std::string::npos; }, 20s))
        << readFile(typed);
    EXPECT_EQ(readFile(typed), "Review\nls -la\n");
    EXPECT_EQ(orvex_->output().find("status (error)"), std::string::npos) << orvex_->output();
}

TEST_F(OrvexDesktop, TextGoesToTheInputOfTheBrowserLastUsed) {
    Json toField = preset("field", "To field");
    toField["destination"] = "last-input-field";
    toField["destinations"] = Json::array({"last-input-field"});
    writeSettings(Json::array({toField}));
    window({"--record", browserRecord_.string()}, "org.orvex.TestBrowser");
    BackgroundChild& source = editor("from the editor");
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(source.pid()); }));
    startOrvex();
    ASSERT_EQ(cli({"preset.execute", "--id", "field"}), 0);
    ASSERT_TRUE(pumpUntil([&] { return recordHas(browserRecord_, "from the editor"); }, 30s))
        << orvex_->errors();
    EXPECT_EQ(readFile(browserRecord_), "{\"images\":[],\"text\":\"from the editor\"}\n");
}

TEST_F(OrvexDesktop, ActivateAppBringsARunningAndAMinimizedWindowForward) {
    Json bring = preset("bring", "Bring");
    bring["appName"] = "Test Editor";
    Json unknown = preset("unknown", "Unknown");
    unknown["appName"] = "No Such Application";
    writeSettings(Json::array({bring, unknown}));
    BackgroundChild& target = editor("target");
    BackgroundChild& other = window({"--record", chatRecord_.string()}, "com.openai.codex");
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(other.pid()); }));
    startOrvex();

    ASSERT_EQ(cli({"preset.execute", "--id", "bring"}), 0);
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(target.pid()); }));

    ASSERT_TRUE(apps_->activate(other.pid()));
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(other.pid()); }));
    kill(target.pid(), SIGUSR1);
    ASSERT_TRUE(pumpUntil([&] {
        auto windows = apps_->windowsOf(target.pid());
        return !windows.empty() && windows.front().hidden;
    }));
    ASSERT_EQ(cli({"preset.execute", "--id", "bring"}), 0);
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(target.pid()); }));
    EXPECT_FALSE(apps_->windowsOf(target.pid()).front().hidden);

    // Nothing of that name: nothing is started, the front window stays.
    std::size_t before = apps_->applications().size();
    ASSERT_EQ(cli({"preset.execute", "--id", "unknown"}), 0);
    ASSERT_TRUE(pumpUntil([&] {
        return orvex_->output().find("status (error): Could not launch No Such Application.") !=
               std::string::npos;
    })) << orvex_->output();
    EXPECT_EQ(apps_->applications().size(), before);
    EXPECT_TRUE(frontmostIs(target.pid()));
}

TEST_F(OrvexDesktop, OpenFileUsesTheDefaultApplicationAndNewFilesAreNumberedOnTheDesktop) {
    fs::path notes = root_ / "notes.txt";
    std::ofstream(notes) << "my notes";
    Json open = preset("open", "Open notes");
    open["filePath"] = notes.string();
    Json create = preset("create", "New file");
    create["createFile"] = true;
    create["fileExt"] = "md";
    writeSettings(Json::array({open, create}));
    startOrvex();

    ASSERT_EQ(cli({"preset.execute", "--id", "open"}), 0);
    ASSERT_TRUE(pumpUntil([&] {
        for (auto& app : apps_->applications()) {
            if (app.bundleIdentifier == "org.orvex.TestViewer")
                return true;
        }
        return false;
    }));

    ASSERT_EQ(cli({"preset.execute", "--id", "create"}), 0);
    ASSERT_EQ(cli({"preset.execute", "--id", "create"}), 0);
    EXPECT_TRUE(fs::exists(root_ / "Desktop" / "NewFile.md"));
    EXPECT_TRUE(fs::exists(root_ / "Desktop" / "NewFile2.md"));
    ASSERT_TRUE(pumpUntil([&] {
        return orvex_->output().find("status: Created NewFile2.md.") != std::string::npos;
    })) << orvex_->output();
}

// Orvex started where the Linux desktop cannot work refuses to start and says what is
// missing, instead of crashing or running without its desktop.
TEST_F(OrvexDesktop, WithoutAnX11DisplayOrAWindowManagerOrvexSaysWhatIsMissing) {
    writeSettings(Json::array());
    auto env = environment();
    env["DISPLAY"] = "";
    env["WAYLAND_DISPLAY"] = "wayland-0";
    std::vector<std::string> command{"/usr/bin/env", "-u", "DISPLAY", binary("orvex")};
    ChildResult wayland = runChild(command, env, 20s);
    EXPECT_EQ(wayland.exitCode, 1);
    EXPECT_NE(wayland.err.find("Wayland session without XWayland"), std::string::npos)
        << wayland.err;

    // A second X server of our own, with no window manager on it.
    auto server = startWindow({"/bin/sh", "-c",
                               "exec 3>" + (root_ / "display").string() +
                                   "; Xvfb -displayfd 3 -nolisten tcp & pid=$!; "
                                   "trap 'kill $pid' TERM; echo ready; wait $pid"});
    ASSERT_TRUE(server);
    ASSERT_TRUE(pumpUntil([&] { return !readFile(root_ / "display").empty(); }));
    std::string number = readFile(root_ / "display");
    number.erase(number.find_last_not_of("\n") + 1);
    env = environment();
    env["DISPLAY"] = ":" + number;
    ChildResult bare = runChild({binary("orvex")}, env, 20s);
    EXPECT_EQ(bare.exitCode, 1);
    EXPECT_NE(bare.err.find("no window manager is running"), std::string::npos) << bare.err;
}

// maim is selecting once it holds the pointer: then nobody else can grab it.
bool waitForSelection(X11Display& display) {
    return pumpUntil([&] {
        auto lock = display.lock();
        int status = XGrabPointer(display.raw(), display.root(), False, ButtonPressMask,
                                  GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
        if (status == GrabSuccess)
            XUngrabPointer(display.raw(), CurrentTime);
        XSync(display.raw(), False);
        return status == AlreadyGrabbed;
    });
}

void drag(X11Display& display, int x0, int y0, int x1, int y1) {
    auto lock = display.lock();
    Display* d = display.raw();
    XTestFakeMotionEvent(d, -1, x0, y0, CurrentTime);
    XTestFakeButtonEvent(d, 1, True, 50);
    for (int step = 1; step <= 10; ++step)
        XTestFakeMotionEvent(d, -1, x0 + (x1 - x0) * step / 10, y0 + (y1 - y0) * step / 10, 20);
    XTestFakeButtonEvent(d, 1, False, 50);
    XSync(d, False);
}

TEST_F(OrvexDesktop, ACaptureGoesIntoTheChatInputAndEscapeSendsNothing) {
    Json capture = preset("shot", "Shot");
    capture["useCapture"] = true;
    capture["destination"] = "chatgpt-app";
    capture["destinations"] = Json::array({"chatgpt-app"});
    capture["fixedPrompt"] = "Describe:";
    writeSettings(Json::array({capture}));
    window({"--record", chatRecord_.string()}, "com.openai.codex");
    startOrvex();

    auto run = std::async(std::launch::async, [&] {
        return cli({"preset.execute", "--id", "shot"});
    });
    ASSERT_TRUE(waitForSelection(*display_));
    drag(*display_, 100, 100, 300, 250);
    ASSERT_EQ(run.wait_for(30s), std::future_status::ready);
    EXPECT_EQ(run.get(), 0);
    ASSERT_TRUE(pumpUntil([&] { return recordHas(chatRecord_, "Describe:"); }, 20s))
        << orvex_->errors();
    // One image of the dragged area (maim counts the border pixel in), then the prompt.
    const std::string sent = readFile(chatRecord_);
    EXPECT_TRUE(sent == "{\"images\":[\"200x150\"],\"text\":\"Describe:\"}\n" ||
                sent == "{\"images\":[\"201x151\"],\"text\":\"Describe:\"}\n")
        << sent;
    // The capture file is gone once its image is on the clipboard.
    EXPECT_TRUE(fs::is_empty(tmp_));

    run = std::async(std::launch::async, [&] { return cli({"preset.execute", "--id", "shot"}); });
    ASSERT_TRUE(waitForSelection(*display_));
    {
        auto lock = display_->lock();
        KeyCode escape = XKeysymToKeycode(display_->raw(), XK_Escape);
        XTestFakeKeyEvent(display_->raw(), escape, True, CurrentTime);
        XSync(display_->raw(), False);
        // maim looks at the keyboard only now and then.
        std::this_thread::sleep_for(200ms);
        XTestFakeKeyEvent(display_->raw(), escape, False, CurrentTime);
        XSync(display_->raw(), False);
    }
    ASSERT_EQ(run.wait_for(30s), std::future_status::ready);
    EXPECT_EQ(run.get(), 0);
    ASSERT_TRUE(pumpUntil([&] {
        return orvex_->output().find("status: Screen capture cancelled.") != std::string::npos;
    })) << orvex_->output();
    EXPECT_EQ(orvex_->output().find("status (error)"), std::string::npos) << orvex_->output();
    pumpFor(2500ms);
    EXPECT_EQ(readFile(chatRecord_), sent);
    EXPECT_TRUE(fs::is_empty(tmp_));
}

}  // namespace
}  // namespace orvex::testing

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
#include "desktop/linux/x11/desktop_tests/orvex_desktop_fixture.h"
#include "desktop/linux/x11/x11_applications.h"
#include "desktop/linux/x11/x11_display.h"
#include "desktop/linux/x11/x11_keyboard.h"

namespace orvex::testing {
namespace {

namespace fs = std::filesystem;
using linux_desktop::X11Display;

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

// Orvex's clipboard writes leave the primary selection alone: taking it would make the
// editor drop its selection, and the next send from it would find nothing selected.
TEST_F(OrvexDesktop, TheEditorKeepsItsSelectionThroughSendsFromTheShellAndTheShortcut) {
    Json ask = preset("ask", "Ask");
    ask["shortcut"] = "Alt+D";
    ask["destination"] = "chatgpt-app";
    ask["destinations"] = Json::array({"chatgpt-app"});
    ask["fixedPrompt"] = "Explain:";
    writeSettings(Json::array({ask}));
    window({"--record", chatRecord_.string()}, "com.openai.codex");
    const fs::path selection = root_ / "selection.txt";
    BackgroundChild& source =
        window({"--editor", "keep me", "--selection", selection.string()}, "org.orvex.TestEditor");
    ASSERT_TRUE(
        pumpUntil([&] { return frontmostIs(source.pid()) && !readFile(selection).empty(); }));
    startOrvex();
    ASSERT_TRUE(pumpUntil([&] { return grabFromHere(XK_d, Mod1Mask) == BadAccess; }));

    const std::string sent = "{\"images\":[],\"text\":\"Explain:\\nkeep me\"}\n";
    auto count = [](const std::string& text, const std::string& part) {
        std::size_t n = 0;
        for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
            ++n;
        return n;
    };
    for (std::size_t run = 1; run <= 3; ++run) {
        SCOPED_TRACE(run);
        ASSERT_TRUE(apps_->activate(source.pid()));
        ASSERT_TRUE(pumpUntil([&] { return frontmostIs(source.pid()); }));
        if (run < 3)
            ASSERT_EQ(cli({"preset.execute", "--id", "ask"}), 0);
        else
            press(XK_d, true);
        // The run is over once it says so; the next one starts from the editor again.
        ASSERT_TRUE(pumpUntil(
            [&] {
                const std::string output = orvex_->output();
                return count(output, "status: Sent.") == run ||
                       output.find("status (error)") != std::string::npos;
            },
            40s))
            << orvex_->output();
        ASSERT_EQ(orvex_->output().find("status (error)"), std::string::npos) << orvex_->output();
        ASSERT_TRUE(pumpUntil([&] { return count(readFile(chatRecord_), "\n") == run; }));
    }
    EXPECT_EQ(readFile(chatRecord_), sent + sent + sent);
    EXPECT_EQ(readFile(selection), "keep me");
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
    // xterm's Shift+Insert reads the primary selection, which the editor holds until Orvex
    // offers its text there; without that the editor's "ls -la" would arrive alone.
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
    ASSERT_EQ(cli({"preset.execute", "--id", "unknown"}), 1) << "the run failed, and says so";
    ASSERT_TRUE(pumpUntil([&] {
        return orvex_->output().find("status (error): Could not launch No Such Application.") !=
               std::string::npos;
    })) << orvex_->output();
    EXPECT_EQ(apps_->applications().size(), before);
    EXPECT_TRUE(frontmostIs(target.pid()));
}

TEST_F(OrvexDesktop, OpenFileUsesTheDefaultApplicationAndNewFilesAreNumberedOnTheDesktop) {
    // A translated desktop folder, as xdg-user-dirs writes it; ~/Desktop exists as well and
    // must stay empty.
    const fs::path desktop = root_ / "デスクトップ";
    fs::create_directories(desktop);
    std::ofstream(configHome_ / "user-dirs.dirs") << "XDG_DESKTOP_DIR=\"$HOME/デスクトップ\"\n";
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
    EXPECT_TRUE(fs::exists(desktop / "NewFile.md"));
    EXPECT_TRUE(fs::exists(desktop / "NewFile2.md"));
    EXPECT_TRUE(fs::is_empty(root_ / "Desktop"));
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

// On a Wayland session with XWayland, Orvex runs on X11 and says so at start-up and in
// "app.status": its shortcuts and keystrokes reach X11 applications only.
TEST_F(OrvexDesktop, OnAWaylandSessionItSaysItsInputReachesX11ApplicationsOnly) {
    writeSettings(Json::array());
    auto status = [&] {
        ChildResult answer = runChild({binary("orvex-cli"), "app.status"}, environment(), 30s);
        auto json = parseJson(answer.out);
        return json.value ? (*json.value)["data"]["status"] : Json();
    };
    const std::map<std::string, std::string> sessions[] = {
        {{"WAYLAND_DISPLAY", "wayland-0"}, {"XDG_SESSION_TYPE", ""}},
        {{"WAYLAND_DISPLAY", ""}, {"XDG_SESSION_TYPE", "wayland"}},
        {{"WAYLAND_DISPLAY", ""}, {"XDG_SESSION_TYPE", "x11"}},
    };
    for (const auto& session : sessions) {
        const bool wayland = &session != &sessions[2];
        extraEnvironment_ = session;
        startOrvex();
        Json answer = status();
        ASSERT_TRUE(answer.is_object()) << session.begin()->second;
        EXPECT_EQ(answer.value("x11OnWayland", false), wayland) << answer.dump();
        const std::string said = "status: Wayland session: Orvex works through XWayland";
        EXPECT_EQ(orvex_->output().find(said) != std::string::npos, wayland) << orvex_->output();
        orvex_.reset();
    }
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

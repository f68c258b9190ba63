// The real Orvex on the X11 desktop: presets started by their global shortcuts (synthetic
// key presses) and by orvex-cli copy from a GTK editor and deliver to a GTK chat window, a
// terminal and the last input field; the app and file actions; captures with maim.
#include "desktop/linux/x11/desktop_tests/desktop_fixture.h"

#include <X11/extensions/XTest.h>

#include <future>

namespace orvex::testing {
namespace {

// The chat app is launched from its entry for the first send and activated for the next;
// its input is focused with inputaim, the text pasted and sent. Orvex's clipboard writes
// leave the primary selection alone: taking it would make the editor drop its selection,
// and the next send from it would find nothing selected.
TEST_F(OrvexDesktop, ShortcutAndShellSendsCopyTheEditorsSelectionIntoTheChatAppWithItsPrompt) {
    Json ask = preset("ask", "chatgpt-app", "Explain:");
    ask["shortcut"] = "Alt+D";
    Json twin = preset("twin");
    twin["shortcut"] = "Alt+D";
    Json taken = preset("taken");
    taken["shortcut"] = "Alt+G";
    writeSettings(Json::array({ask, twin, taken}));
    // Another application holds Alt+G before Orvex starts.
    ASSERT_EQ(grabFromHere(XK_g, Mod1Mask, /*keep=*/true), Success);
    const fs::path selection = root_ / "selection.txt";
    BackgroundChild& source = window(
        {"--editor", "Sélection 42", "--selection", selection.string()}, "org.orvex.TestEditor");
    ASSERT_TRUE(
        pumpUntil([&] { return frontmostIs(source.pid()) && !readText(selection).empty(); }));
    startOrvex();
    ASSERT_TRUE(pumpUntil([&] { return grabFromHere(XK_d, Mod1Mask) == BadAccess; }));
    EXPECT_NE(output().find("Failed to register shortcut: Alt+D (status: 10)"), std::string::npos)
        << output();
    EXPECT_NE(output().find("Failed to register shortcut: Alt+G (status: 10)"), std::string::npos)
        << output();

    for (std::size_t run = 1; run <= 3; ++run) {
        SCOPED_TRACE(run);
        ASSERT_TRUE(apps_->activate(source.pid()));
        ASSERT_TRUE(pumpUntil([&] { return frontmostIs(source.pid()); }));
        if (run == 2)
            ASSERT_EQ(cli({"preset.execute", "--id", "ask"}), 0);
        else
            press(XK_d, true);
        // The run is over once it says so; the next one starts from the editor again.
        ASSERT_TRUE(pumpUntil(
            [&] {
                return countOf(output(), "status: Sent.") == run ||
                       output().find("status (error)") != std::string::npos;
            },
            40s))
            << output() << errors();
        ASSERT_EQ(output().find("status (error)"), std::string::npos) << output();
        ASSERT_TRUE(pumpUntil([&] { return countOf(readText(chatRecord_), "\n") == run; }));
    }
    const std::string sent = "{\"images\":[],\"text\":\"Explain:\\nSélection 42\"}\n";
    EXPECT_EQ(readText(chatRecord_), sent + sent + sent);
    EXPECT_EQ(readText(selection), "Sélection 42");
    EXPECT_LT(output().find("status: Sending…"), output().find("status: Sent.")) << output();
    EXPECT_EQ(std::ranges::count(apps_->applications(), std::string("com.openai.codex"),
                                 &linux_desktop::X11AppInfo::bundleIdentifier),
              1);
}

TEST_F(OrvexDesktop, TextGoesToTheTerminalWhereCatWritesIt) {
    writeSettings(Json::array({preset("term", "terminal", "Review")}));
    fs::path typed = root_ / "typed.txt";
    // Stopped, the wrapper waits for xterm to end: its window, left behind a while, would
    // take the focus in the next test.
    start({"/bin/sh", "-c",
           "xterm -u8 -e sh -c 'stty -echo; cat > " + typed.string() +
               "' & pid=$!; trap 'kill $pid; wait $pid' TERM; echo ready; wait $pid"},
          environment());
    ASSERT_TRUE(pumpUntil([&] {
        return std::ranges::any_of(apps_->applications(), [](auto& app) {
            return app.windowClass && app.windowClass->className == "XTerm";
        });
    }));
    BackgroundChild& source = editor("ls -la");
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(source.pid()); }));
    startOrvex();
    ASSERT_EQ(cli({"preset.execute", "--id", "term"}), 0);
    ASSERT_TRUE(
        pumpUntil([&] { return readText(typed).find("ls -la\n") != std::string::npos; }, 20s))
        << readText(typed);
    // xterm's Shift+Insert reads the primary selection, which the editor holds until Orvex
    // offers its text there; without that the editor's "ls -la" would arrive alone.
    EXPECT_EQ(readText(typed), "Review\nls -la\n");
    EXPECT_EQ(output().find("status (error)"), std::string::npos) << output();
}

TEST_F(OrvexDesktop, TextGoesToTheInputOfTheBrowserLastUsed) {
    writeSettings(Json::array({preset("field", "last-input-field")}));
    window({"--record", browserRecord_.string()}, "org.orvex.TestBrowser");
    BackgroundChild& source = editor("from the editor");
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(source.pid()); }));
    startOrvex();
    ASSERT_EQ(cli({"preset.execute", "--id", "field"}), 0);
    ASSERT_TRUE(pumpUntil(
        [&] { return readText(browserRecord_).find("from the editor") != std::string::npos; }, 30s))
        << errors();
    EXPECT_EQ(readText(browserRecord_), "{\"images\":[],\"text\":\"from the editor\"}\n");
}

TEST_F(OrvexDesktop, ActivateAppBringsARunningAndAMinimizedWindowForward) {
    Json bring = preset("bring");
    bring["appName"] = "Test Editor";
    Json unknown = preset("unknown");
    unknown["appName"] = "No Such Application";
    writeSettings(Json::array({bring, unknown}));
    BackgroundChild& target = editor("target");
    BackgroundChild& other = chat();
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(other.pid()); }));
    startOrvex();

    ASSERT_EQ(cli({"preset.execute", "--id", "bring"}), 0);
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(target.pid()); }));

    ASSERT_TRUE(apps_->activate(other.pid()));
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(other.pid()); }));
    ASSERT_TRUE(minimize(target.pid()));
    ASSERT_EQ(cli({"preset.execute", "--id", "bring"}), 0);
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(target.pid()); }));
    EXPECT_FALSE(apps_->windowsOf(target.pid()).front().hidden);

    // Nothing of that name: nothing is started, the front window stays.
    std::size_t before = apps_->applications().size();
    ASSERT_EQ(cli({"preset.execute", "--id", "unknown"}), 1) << "the run failed, and says so";
    ASSERT_TRUE(says("status (error): Could not launch No Such Application.")) << output();
    EXPECT_EQ(apps_->applications().size(), before);
    EXPECT_TRUE(frontmostIs(target.pid()));
}

TEST_F(OrvexDesktop, OpenFileUsesTheDefaultApplicationAndNewFilesAreNumberedOnTheDesktop) {
    // A translated desktop folder, as xdg-user-dirs writes it; ~/Desktop exists as well and
    // must stay empty.
    const fs::path desktop = root_ / "デスクトップ";
    fs::create_directories(desktop);
    writeText(configHome_ / "user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/デスクトップ\"\n");
    fs::path notes = root_ / "notes.txt";
    writeText(notes, "my notes");
    Json open = preset("open");
    open["filePath"] = notes.string();
    Json create = preset("create");
    create["createFile"] = true;
    create["fileExt"] = "md";
    writeSettings(Json::array({open, create}));
    startOrvex();

    ASSERT_EQ(cli({"preset.execute", "--id", "open"}), 0);
    ASSERT_TRUE(pumpUntil([&] {
        return std::ranges::any_of(apps_->applications(), [](auto& app) {
            return app.bundleIdentifier == "org.orvex.TestViewer";
        });
    }));

    ASSERT_EQ(cli({"preset.execute", "--id", "create"}), 0);
    ASSERT_EQ(cli({"preset.execute", "--id", "create"}), 0);
    EXPECT_TRUE(fs::exists(desktop / "NewFile.md"));
    EXPECT_TRUE(fs::exists(desktop / "NewFile2.md"));
    EXPECT_TRUE(fs::is_empty(root_ / "Desktop"));
    ASSERT_TRUE(says("status: Created NewFile2.md.")) << output();
}

// Orvex started where the Linux desktop cannot work refuses to start and says what is
// missing, instead of crashing or running without its desktop.
TEST_F(OrvexDesktop, WithoutAnX11DisplayOrAWindowManagerOrvexSaysWhatIsMissing) {
    writeSettings(Json::array());
    auto env = environment();
    env["WAYLAND_DISPLAY"] = "wayland-0";
    std::vector<std::string> command{"/usr/bin/env", "-u", "DISPLAY", builtProgram("orvex")};
    ChildResult wayland = runChild(command, env, 20s);
    EXPECT_EQ(wayland.exitCode, 1);
    EXPECT_NE(wayland.err.find("Wayland session without XWayland"), std::string::npos)
        << wayland.err;

    // A second X server of our own, with no window manager on it.
    start({"/bin/sh", "-c",
           "exec 3>" + (root_ / "display").string() +
               "; Xvfb -displayfd 3 -nolisten tcp & pid=$!; trap 'kill $pid' TERM; echo ready; "
               "wait $pid"},
          {});
    ASSERT_TRUE(pumpUntil([&] { return !readText(root_ / "display").empty(); }));
    std::string number = readText(root_ / "display");
    number.erase(number.find_last_not_of("\n") + 1);
    env = environment();
    env["DISPLAY"] = ":" + number;
    ChildResult bare = runChild({builtProgram("orvex")}, env, 20s);
    EXPECT_EQ(bare.exitCode, 1);
    EXPECT_NE(bare.err.find("no window manager is running"), std::string::npos) << bare.err;
}

// On a Wayland session with XWayland, Orvex runs on X11 and says so at start-up and in
// "app.status": its shortcuts and keystrokes reach X11 applications only.
TEST_F(OrvexDesktop, OnAWaylandSessionItSaysItsInputReachesX11ApplicationsOnly) {
    writeSettings(Json::array());
    auto status = [&] {
        ChildResult answer =
            runChild({builtProgram("orvex-cli"), "app.status"}, environment(), 30s);
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
        EXPECT_EQ(output().find(said) != std::string::npos, wayland) << output();
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

// maim looks at the keyboard only now and then: Escape stays down a moment.
void pressEscape(X11Display& display) {
    auto lock = display.lock();
    KeyCode escape = XKeysymToKeycode(display.raw(), XK_Escape);
    XTestFakeKeyEvent(display.raw(), escape, True, CurrentTime);
    XSync(display.raw(), False);
    std::this_thread::sleep_for(200ms);
    XTestFakeKeyEvent(display.raw(), escape, False, CurrentTime);
    XSync(display.raw(), False);
}

// A capture for the terminal hands on its file's path: a cancelled one has no file to tell,
// only its status.
TEST_F(BackendFixture, EscapeCancelsACaptureWithANonZeroStatusAndNoFile) {
    const fs::path file = root_ / "cancelled.png";
    auto capture = std::async(std::launch::async, [&] {
        CaptureRequest request;
        request.filePath = file.string();
        return desktop().screenCapture->runInteractiveCapture(request);
    });
    const bool selecting = waitForSelection(*display_);
    pressEscape(*display_);  // also when not seen selecting, so that the capture ends
    ASSERT_TRUE(selecting);
    ASSERT_EQ(capture.wait_for(10s), std::future_status::ready);
    EXPECT_NE(capture.get().value_or(0), 0);
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(OrvexDesktop, ACaptureGoesIntoTheChatInputAndEscapeSendsNothing) {
    Json capture = preset("shot", "chatgpt-app", "Describe:");
    capture["useCapture"] = true;
    writeSettings(Json::array({capture}));
    chat();
    startOrvex();

    auto run = std::async(std::launch::async, [&] {
        return cli({"preset.execute", "--id", "shot"});
    });
    ASSERT_TRUE(waitForSelection(*display_));
    drag(*display_, 100, 100, 300, 250);
    ASSERT_EQ(run.wait_for(30s), std::future_status::ready);
    EXPECT_EQ(run.get(), 0);
    ASSERT_TRUE(pumpUntil(
        [&] { return readText(chatRecord_).find("Describe:") != std::string::npos; }, 20s))
        << errors();
    // One image of the dragged area (maim counts the border pixel in), then the prompt.
    const std::string sent = readText(chatRecord_);
    EXPECT_TRUE(sent == "{\"images\":[\"200x150\"],\"text\":\"Describe:\"}\n" ||
                sent == "{\"images\":[\"201x151\"],\"text\":\"Describe:\"}\n")
        << sent;
    // The capture file is gone once its image is on the clipboard.
    EXPECT_TRUE(fs::is_empty(tmp_));

    run = std::async(std::launch::async, [&] { return cli({"preset.execute", "--id", "shot"}); });
    ASSERT_TRUE(waitForSelection(*display_));
    pressEscape(*display_);
    ASSERT_EQ(run.wait_for(30s), std::future_status::ready);
    EXPECT_EQ(run.get(), 0);
    ASSERT_TRUE(says("status: Screen capture cancelled.")) << output();
    EXPECT_EQ(output().find("status (error)"), std::string::npos) << output();
    pumpFor(2500ms);
    EXPECT_EQ(readText(chatRecord_), sent);
    EXPECT_TRUE(fs::is_empty(tmp_));
}

}  // namespace
}  // namespace orvex::testing

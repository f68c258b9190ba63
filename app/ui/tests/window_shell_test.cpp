#include "app/ui/window_shell.h"

#include <gtest/gtest.h>

#include "app/ui/application_shell.h"
#include "base/manual_main_queue.h"
#include "base/task_runner.h"
#include "testing/source_tree.h"
#include "testing/temp_dir.h"

namespace orvex {
namespace {

// The windows as calls: what is shown, the mode, the content.
class RecordingHost : public WindowHost {
  public:
    bool mainWindowVisible() const override { return mainVisible; }
    void showMainWindow() override { mainVisible = true; }
    void hideMainWindow() override { mainVisible = false; }
    bool helpWindowVisible() const override { return helpVisible; }
    void openHelpWindow() override { helpVisible = true; }
    void setActivationMode(ActivationMode m) override { mode = m; }
    void setAlwaysOnTop(bool onTop) override { alwaysOnTop = onTop; }
    void showSettings(bool settings) override { settingsShown = settings; }
    void showTutorial() override { ++tutorials; }

    bool mainVisible = false;
    bool helpVisible = false;
    ActivationMode mode = ActivationMode::regular;
    bool alwaysOnTop = false;
    bool settingsShown = false;
    int tutorials = 0;
};

class WindowShellTest : public ::testing::Test {
  protected:
    WindowShellTest() {
        std::filesystem::create_directories(temp / "orvex");
        app = std::make_unique<ApplicationShell>(ShellEnvironment{
            queue, clock, tasks, AppPaths{temp / "orvex"},
            testing::sourceDir() / "app/i18n/resources/locales", nullptr, std::nullopt});
        windows = std::make_unique<WindowShell>(
            app->state(), app->i18n(), app->notifications(), queue, host,
            WindowShellHooks{[this] { return sending; }, [this](bool on) { sending = on; },
                             [this] { ++quits; }});
        app->start();
    }
    void settle() { queue.runUntilIdle(); }
    std::string standby() { return app->i18n().text("status.standby"); }

    testing::TempDir temp;
    VirtualClock clock;
    ManualMainQueue queue{clock};
    ManualTaskRunner tasks;
    std::unique_ptr<ApplicationShell> app;
    RecordingHost host;
    bool sending = false;
    int quits = 0;
    std::unique_ptr<WindowShell> windows;
};

TEST_F(WindowShellTest, TrayLeftClickTogglesTheWindowAndTheModeFollows) {
    EXPECT_EQ(host.mode, ActivationMode::accessory) << "starts without a taskbar entry";
    app->state().setStatus("Sent.", false);
    windows->trayLeftClicked();
    settle();
    EXPECT_TRUE(host.mainVisible);
    EXPECT_EQ(host.mode, ActivationMode::regular);
    EXPECT_EQ(app->state().statusMessage(), standby());

    windows->trayLeftClicked();
    EXPECT_FALSE(host.mainVisible);
    EXPECT_EQ(host.mode, ActivationMode::accessory);
}

TEST_F(WindowShellTest, TheBackgroundRuleWaitsForASendAndForTheHelpWindow) {
    windows->showMainWindow();
    sending = true;
    windows->mainWindowCloseRequested();
    EXPECT_FALSE(host.mainVisible) << "closing only hides";
    EXPECT_EQ(host.mode, ActivationMode::regular) << "a send keeps the mode";

    sending = false;
    windows->openHelp();
    windows->applyBackgroundRule();
    EXPECT_EQ(host.mode, ActivationMode::regular) << "the help window still shows";
    host.helpVisible = false;
    windows->helpWindowClosed();
    EXPECT_EQ(host.mode, ActivationMode::regular) << "applied on the next turn";
    settle();
    EXPECT_EQ(host.mode, ActivationMode::accessory);

    windows->windowBecameKey();
    EXPECT_EQ(host.mode, ActivationMode::regular);
}

TEST_F(WindowShellTest, TheTrayMenuIsBuiltFromTheStateAndMarksItsTimeAsSending) {
    app->state().setAlwaysOnTop(true);
    std::vector<TrayMenuItem> menu = windows->trayMenu();
    ASSERT_EQ(menu.size(), 5u);
    EXPECT_EQ(menu[0].title, app->i18n().text("tray.showWindow"));
    EXPECT_TRUE(menu[1].isSeparator());
    EXPECT_TRUE(menu[2].checkable);
    EXPECT_TRUE(menu[2].checked);
    EXPECT_TRUE(menu[3].isSeparator());
    EXPECT_EQ(menu[4].title, app->i18n().text("tray.quit"));

    windows->trayMenuOpened();
    EXPECT_TRUE(sending);
    menu[2].action();
    EXPECT_FALSE(app->state().alwaysOnTop());
    EXPECT_FALSE(host.alwaysOnTop);
    menu[4].action();
    EXPECT_EQ(quits, 1);
    windows->trayMenuClosed();
    EXPECT_FALSE(sending);
    EXPECT_FALSE(host.mainVisible) << "the menu never toggles the window";
}

TEST_F(WindowShellTest, WindowNotificationsReachTheWindows) {
    NotificationCenter& notes = app->notifications();
    notes.post(notifications::showMainWindow);
    notes.post(notifications::openSettings);
    settle();
    EXPECT_TRUE(host.mainVisible);
    EXPECT_EQ(host.mode, ActivationMode::regular);
    EXPECT_TRUE(host.settingsShown);
    notes.post(notifications::closeSettings);
    notes.post(notifications::toggleAlwaysOnTop);
    notes.post(notifications::hideMainWindow);
    settle();
    EXPECT_FALSE(host.settingsShown);
    EXPECT_TRUE(host.alwaysOnTop);
    EXPECT_FALSE(host.mainVisible);

    windows->startTutorial();
    settle();
    EXPECT_TRUE(host.mainVisible);
    EXPECT_EQ(host.tutorials, 1);
}

}  // namespace
}  // namespace orvex

#include "app/ui/windows/main_window.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include "app/ui/window_shell.h"
#include "app/ui/windows/desktop_windows.h"
#include "app/ui/windows/qt_window_host.h"
#include "app/ui/windows/tray_icon.h"
#include "windows_test_support.h"

namespace orvex {
namespace {

// The main window, its host, the shell and the tray wired as the program wires them.
class MainWindowTest : public WindowsTest {
  protected:
    MainWindowTest() {
        MenuActions actions;
        actions.toggleAlwaysOnTop = [this] { shell->toggleAlwaysOnTop(); };
        window = std::make_unique<MainWindow>(
            app->state(), app->i18n(), app->notifications(), MainViewHooks{}, actions,
            MainWindowHooks{[this] { shell->mainWindowCloseRequested(); },
                            [this] { shell->windowBecameKey(); }});
        host = std::make_unique<QtWindowHost>(*window, QtWindowHostHooks{});
        shell = std::make_unique<WindowShell>(
            app->state(), app->i18n(), app->notifications(), queue, *host,
            WindowShellHooks{[this] { return sending; }, [this](bool on) { sending = on; },
                             [this] { ++quits; }});
        tray = std::make_unique<TrayIcon>(*shell);
    }
    void settleAndDelete() {
        settle();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QAction* menuItem(const char* key) {
        for (QAction* action : window->findChildren<QAction*>()) {
            if (!action->menu() && action->text() == text(key)) {
                return action;
            }
        }
        return nullptr;
    }

    bool sending = false;
    int quits = 0;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<QtWindowHost> host;
    std::unique_ptr<WindowShell> shell;
    std::unique_ptr<TrayIcon> tray;
};

TEST_F(MainWindowTest, ClosingOnlyHidesAndTheTrayBringsTheWindowBack) {
    shell->showMainWindow();
    settle();
    ASSERT_TRUE(window->isVisible());
    EXPECT_EQ(host->activationMode(), ActivationMode::regular);

    EXPECT_FALSE(window->close());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(host->activationMode(), ActivationMode::accessory);

    app->state().setStatus("Sent.", false);
    tray->handleActivation(QSystemTrayIcon::Trigger);
    settle();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(app->state().statusMessage(), app->i18n().text("status.standby"));
}

TEST_F(MainWindowTest, TheTrayMenuIsMadeFromTheShellAndMarksItsTimeAsSending) {
    app->state().setAlwaysOnTop(true);
    tray->handleActivation(QSystemTrayIcon::Context);
    QMenu* menu = tray->openMenu();
    ASSERT_TRUE(menu);
    const QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), 5);
    EXPECT_EQ(items[0]->text(), text("tray.showWindow"));
    EXPECT_TRUE(items[1]->isSeparator() && items[3]->isSeparator());
    EXPECT_TRUE(items[2]->isCheckable() && items[2]->isChecked());
    EXPECT_TRUE(sending);
    EXPECT_FALSE(window->isVisible()) << "a right click never toggles the window";

    items[4]->trigger();
    EXPECT_EQ(quits, 1);
    menu->hide();
    EXPECT_FALSE(sending);
    settleAndDelete();
    EXPECT_FALSE(tray->openMenu());
}

TEST_F(MainWindowTest, AlwaysOnTopIsOneTruthForTheMenuAndTheWindow) {
    shell->showMainWindow();
    QAction* item = menuItem("menu.alwaysOnTop");
    ASSERT_TRUE(item);
    app->state().setAlwaysOnTop(true);
    EXPECT_TRUE(item->isChecked());
    EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(window->isVisible()) << "the flag does not hide the window";

    item->trigger();
    EXPECT_FALSE(app->state().alwaysOnTop());
    EXPECT_FALSE(item->isChecked());
    EXPECT_FALSE(window->windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(MainWindowTest, SettingsAndBackSwitchTheContentThroughTheNotifications) {
    shell->showMainWindow();
    QTest::mouseClick(named<QPushButton>(*window, text("index.settings")), Qt::LeftButton);
    settle();
    EXPECT_TRUE(window->settingsShown());
    QTest::mouseClick(named<QPushButton>(*window, text("settings.back")), Qt::LeftButton);
    settle();
    EXPECT_FALSE(window->settingsShown());

    QWidget* area = window->mainViewArea();
    MainView* before = window->mainView();
    window->rebuildMainView();
    EXPECT_NE(window->mainView(), before);
    EXPECT_EQ(window->mainViewArea(), area) << "an overlay on the area outlives the view";
    settleAndDelete();
    EXPECT_TRUE(named(*window, text("index.settings"))) << "one settings button, the new one";
}

TEST_F(MainWindowTest, MenusAndViewFollowALanguageChange) {
    app->i18n().loadLanguage("ja");
    settle();
    for (const char* key : {"menu.quit", "menu.exportPresets", "menu.openHelp", "menu.langEn"}) {
        EXPECT_TRUE(menuItem(key)) << key;
    }
    EXPECT_EQ(menuItem("menu.openHelp")->shortcut(), QKeySequence("Ctrl+Shift+H"));
    EXPECT_TRUE(menuItem("menu.langJa")->isChecked());
    EXPECT_TRUE(named(*window, text("index.settings")));
}

// As the program wires it: the entry in the configuration home Orvex's own directory is in.
TEST_F(WindowsTest, StartAtLoginIsTheAutostartEntryAndARefusalShowsInTheStatusLine) {
    DesktopWindows windows(*app, {});
    QAction* item = nullptr;
    for (QAction* action : windows.mainWindow().findChildren<QAction*>()) {
        if (action->text() == text("menu.startAtLogin")) {
            item = action;
        }
    }
    ASSERT_TRUE(item && item->isEnabled());
    QMenu* menu = windows.mainWindow().menuBar()->actions().front()->menu();
    const auto entry = temp / "autostart/app.orvex.Orvex.desktop";

    item->trigger();
    EXPECT_TRUE(std::filesystem::exists(entry));
    EXPECT_TRUE(item->isChecked());
    std::filesystem::remove(entry);
    emit menu->aboutToShow();
    EXPECT_FALSE(item->isChecked()) << "the mark follows the file, wherever it was removed";

    std::filesystem::remove(entry.parent_path());
    testing::writeText(entry.parent_path(), "");
    item->trigger();
    settle();
    EXPECT_FALSE(item->isChecked());
    EXPECT_TRUE(app->state().statusIsError());
    EXPECT_NE(app->state().statusMessage().find(entry.parent_path().string()), std::string::npos)
        << app->state().statusMessage();
}

}  // namespace
}  // namespace orvex

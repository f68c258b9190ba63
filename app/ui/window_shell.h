#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/i18n/localization_manager.h"
#include "app/notifications/notification_center.h"
#include "app/store/app_state.h"
#include "base/main_queue.h"

namespace orvex {

// Regular: the application shows in the taskbar and its windows can take the focus.
// Accessory: only the tray icon is there.
enum class ActivationMode { regular, accessory };

// What the shell asks of the windows and the tray. The Qt windows implement it; tests use
// a recording one. Every call comes on the main thread.
class WindowHost {
  public:
    virtual ~WindowHost() = default;
    virtual bool mainWindowVisible() const = 0;
    // Shown, raised and given the focus.
    virtual void showMainWindow() = 0;
    virtual void hideMainWindow() = 0;
    virtual bool helpWindowVisible() const = 0;
    // Raised when it is open, made and shown when it is not.
    virtual void openHelpWindow() = 0;
    virtual void setActivationMode(ActivationMode mode) = 0;
    virtual void setAlwaysOnTop(bool onTop) = 0;
    // The main window's content: the settings screen or the main view.
    virtual void showSettings(bool settings) = 0;
    virtual void showTutorial() = 0;
};

// One entry of the tray menu; a separator has no title.
struct TrayMenuItem {
    std::string title;
    bool checkable = false;
    bool checked = false;
    std::function<void()> action;

    bool isSeparator() const { return title.empty(); }
};

// What the window side reaches outside itself.
struct WindowShellHooks {
    // The previous-app tracker's send flag; empty where there is no desktop to track.
    std::function<bool()> isSending;
    std::function<void(bool)> setSending;
    // Ends the application ("tray.quit").
    std::function<void()> quit;
};

// The window side of the application shell: the activation mode and its background rule,
// the tray clicks and menu, the window notifications. Holds no preset logic. Main thread.
class WindowShell {
  public:
    WindowShell(AppState& state, LocalizationManager& i18n, NotificationCenter& notifications,
                MainQueue& mainQueue, WindowHost& host, WindowShellHooks hooks);
    ~WindowShell();
    WindowShell(const WindowShell&) = delete;
    WindowShell& operator=(const WindowShell&) = delete;

    ActivationMode mode() const { return mode_; }

    // Regular mode, the main window in front, the status line back to standby.
    void showMainWindow();
    // A left click toggles the main window; a right click opens the menu instead.
    void trayLeftClicked();
    // The menu as it is now (rebuilt for every right click).
    std::vector<TrayMenuItem> trayMenu();
    // While the menu is open the activations it causes are not a user's switch of apps.
    void trayMenuOpened();
    void trayMenuClosed();
    // The main window's close button: the window is only hidden, never closed.
    void mainWindowCloseRequested();
    // The help window closed; the rule is applied once it is really gone.
    void helpWindowClosed();
    // A window of the application took the focus.
    void windowBecameKey();
    void toggleAlwaysOnTop();
    void openHelp();
    void startTutorial();
    // Accessory mode when no window shows and no send is under way.
    void applyBackgroundRule();

  private:
    void setMode(ActivationMode mode);

    AppState& state_;
    LocalizationManager& i18n_;
    NotificationCenter& notifications_;
    MainQueue& mainQueue_;
    WindowHost& host_;
    WindowShellHooks hooks_;
    ActivationMode mode_ = ActivationMode::accessory;
    std::vector<NotificationCenter::Token> observers_;
    AppState::ObserverId stateObserver_ = 0;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace orvex

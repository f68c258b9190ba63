#include "app/ui/window_shell.h"

namespace orvex {

WindowShell::WindowShell(AppState& state, LocalizationManager& i18n,
                         NotificationCenter& notifications, MainQueue& mainQueue, WindowHost& host,
                         WindowShellHooks hooks)
    : state_(state),
      i18n_(i18n),
      notifications_(notifications),
      mainQueue_(mainQueue),
      host_(host),
      hooks_(std::move(hooks)) {
    host_.setActivationMode(mode_);
    auto on = [this](const char* name, std::function<void()> action) {
        observers_.push_back(notifications_.addObserver(
            name, [action = std::move(action)](const AppNotification&) { action(); }));
    };
    on(notifications::showMainWindow, [this] {
        setMode(ActivationMode::regular);
        host_.showMainWindow();
    });
    on(notifications::hideMainWindow, [this] { host_.hideMainWindow(); });
    on(notifications::openSettings, [this] { host_.showSettings(true); });
    on(notifications::closeSettings, [this] { host_.showSettings(false); });
    on(notifications::openHelp, [this] { openHelp(); });
    on(notifications::startTutorial, [this] { host_.showTutorial(); });
    // The flag may change from a command or the menu; the window follows it either way.
    stateObserver_ = state_.addObserver({{}, [this](StateField field) {
                                             if (field == StateField::alwaysOnTop) {
                                                 host_.setAlwaysOnTop(state_.alwaysOnTop());
                                             }
                                         }});
}

WindowShell::~WindowShell() {
    *alive_ = false;
    for (NotificationCenter::Token token : observers_) {
        notifications_.removeObserver(token);
    }
    state_.removeObserver(stateObserver_);
}

void WindowShell::setMode(ActivationMode mode) {
    if (mode_ != mode) {
        mode_ = mode;
        host_.setActivationMode(mode);
    }
}

void WindowShell::showMainWindow() {
    setMode(ActivationMode::regular);
    host_.showMainWindow();
    state_.setStatus(i18n_.text("status.standby"), false);
}

void WindowShell::trayLeftClicked() {
    if (host_.mainWindowVisible()) {
        host_.hideMainWindow();
        applyBackgroundRule();
    } else {
        showMainWindow();
    }
}

std::vector<TrayMenuItem> WindowShell::trayMenu() {
    return {
        {i18n_.text("tray.showWindow"), false, false, [this] { showMainWindow(); }},
        {},
        {i18n_.text("tray.alwaysOnTop"), true, state_.alwaysOnTop(),
         [this] { toggleAlwaysOnTop(); }},
        {},
        {i18n_.text("tray.quit"), false, false, hooks_.quit},
    };
}

void WindowShell::trayMenuOpened() {
    if (hooks_.setSending) {
        hooks_.setSending(true);
    }
}

void WindowShell::trayMenuClosed() {
    if (hooks_.setSending) {
        hooks_.setSending(false);
    }
}

void WindowShell::mainWindowCloseRequested() {
    host_.hideMainWindow();
    applyBackgroundRule();
}

void WindowShell::helpWindowClosed() {
    mainQueue_.post([this, alive = std::weak_ptr<bool>(alive_)] {
        if (alive.lock()) {
            applyBackgroundRule();
        }
    });
}

void WindowShell::windowBecameKey() {
    setMode(ActivationMode::regular);
}

void WindowShell::toggleAlwaysOnTop() {
    state_.setAlwaysOnTop(!state_.alwaysOnTop());
}

void WindowShell::openHelp() {
    host_.openHelpWindow();
    setMode(ActivationMode::regular);
}

void WindowShell::startTutorial() {
    showMainWindow();
    notifications_.post(notifications::startTutorial);
}

void WindowShell::applyBackgroundRule() {
    const bool sending = hooks_.isSending && hooks_.isSending();
    if (!sending && !host_.mainWindowVisible() && !host_.helpWindowVisible()) {
        setMode(ActivationMode::accessory);
    }
}

}  // namespace orvex

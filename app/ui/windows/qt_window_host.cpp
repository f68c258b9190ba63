#include "app/ui/windows/qt_window_host.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>

#include "app/ui/windows/main_window.h"
#include "app/ui/windows/taskbar_hint.h"

namespace orvex {

QtWindowHost::QtWindowHost(MainWindow& window, QtWindowHostHooks hooks)
    : window_(window), hooks_(std::move(hooks)) {}

bool QtWindowHost::mainWindowVisible() const {
    return window_.isVisible() && !window_.isMinimized();
}

void QtWindowHost::showMainWindow() {
    if (!placed_) {
        // Centred the first time; afterwards it comes back where the user left it.
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            window_.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter,
                                                    window_.size(), screen->availableGeometry()));
        }
        placed_ = true;
    }
    // The window manager forgets a hidden window's taskbar hint; it gets it again with the
    // window.
    const bool skip = mode_ == ActivationMode::accessory;
    setSkipTaskbar(window_, skip);
    if (window_.isMinimized()) {
        window_.showNormal();
    } else {
        window_.show();
    }
    if (skip) {
        // Showing may have put a new native window in place of the one that had the hint.
        setSkipTaskbar(window_, skip);
    }
    window_.raise();
    window_.activateWindow();
}

void QtWindowHost::hideMainWindow() {
    window_.hide();
}

bool QtWindowHost::helpWindowVisible() const {
    return hooks_.helpVisible && hooks_.helpVisible();
}

void QtWindowHost::openHelpWindow() {
    if (hooks_.openHelp) {
        hooks_.openHelp();
    }
}

void QtWindowHost::setActivationMode(ActivationMode mode) {
    mode_ = mode;
    // On X11 a window leaves the taskbar through the _NET_WM_STATE_SKIP_TASKBAR hint. The
    // other way, a Qt::Tool window, would change the window's type, which Qt can only do by
    // re-creating it, and a window manager reads the type only when the window first
    // appears: a shown window would flicker or keep its entry.
    setSkipTaskbar(window_, mode == ActivationMode::accessory);
}

void QtWindowHost::setAlwaysOnTop(bool onTop) {
    window_.setAlwaysOnTop(onTop);
}

void QtWindowHost::showSettings(bool settings) {
    window_.showSettings(settings);
}

void QtWindowHost::showTutorial() {
    if (hooks_.showTutorial) {
        hooks_.showTutorial();
    }
}

}  // namespace orvex

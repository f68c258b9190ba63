#include "app/ui/windows/tray_icon.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

// The resources live in a static library; nothing else would pull them into the program.
static void initWindowResources() {
    Q_INIT_RESOURCE(orvex_windows);
}

namespace orvex {

TrayIcon::TrayIcon(WindowShell& shell, QObject* parent) : QObject(parent), shell_(shell) {
    tray_.setIcon(icon());
    tray_.setToolTip(QStringLiteral("Orvex"));
    connect(&tray_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) { handleActivation(reason); });
}

TrayIcon::~TrayIcon() {
    if (menu_) {
        // Closing it still tells the shell that the menu's time is over.
        menu_->close();
        delete menu_;
    }
}

bool TrayIcon::available() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

QIcon TrayIcon::icon() {
    initWindowResources();
    return QIcon(QStringLiteral(":/orvex/icons/tray.svg"));
}

QMenu* TrayIcon::openMenu() const {
    return menu_;
}

void TrayIcon::show() {
    tray_.show();
}

void TrayIcon::hide() {
    tray_.hide();
}

void TrayIcon::handleActivation(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::Trigger:
        // The second click of two quick ones arrives only as the double click: each click
        // toggles, so two quick ones show and hide again rather than leave the second
        // unanswered.
        case QSystemTrayIcon::DoubleClick:
            shell_.trayLeftClicked();
            break;
        case QSystemTrayIcon::Context:
            popUpMenu();
            break;
        default:
            // The middle button does nothing.
            break;
    }
}

void TrayIcon::popUpMenu() {
    if (menu_) {
        menu_->close();
    }
    auto* menu = new QMenu;
    for (const TrayMenuItem& item : shell_.trayMenu()) {
        if (item.isSeparator()) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromStdString(item.title));
        action->setCheckable(item.checkable);
        action->setChecked(item.checked);
        connect(action, &QAction::triggered, this, [run = item.action] {
            if (run) {
                run();
            }
        });
    }
    // The menu hides before its chosen item runs; it is deleted only afterwards.
    connect(menu, &QMenu::aboutToHide, this, [this, menu] {
        shell_.trayMenuClosed();
        menu->deleteLater();
    });
    menu_ = menu;
    shell_.trayMenuOpened();
    menu->popup(QCursor::pos());
}

}  // namespace orvex

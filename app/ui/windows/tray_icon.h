#pragma once

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

#include "app/ui/window_shell.h"

class QMenu;

namespace orvex {

// The icon in the panel's tray. It reports clicks to the window shell, which decides what
// they do; the right-click menu is made afresh from the shell's items every time.
class TrayIcon : public QObject {
    Q_OBJECT
  public:
    explicit TrayIcon(WindowShell& shell, QObject* parent = nullptr);
    ~TrayIcon() override;

    // Whether the desktop has a tray to show the icon in.
    static bool available();
    // Orvex's own mark, also fit for the windows.
    static QIcon icon();

    void show();
    void hide();

    // A click on the icon: the left button goes to the shell, the right one opens the menu
    // and never touches the window.
    void handleActivation(QSystemTrayIcon::ActivationReason reason);
    // The right-click menu while it is open, else none.
    QMenu* openMenu() const;

  private:
    void popUpMenu();

    WindowShell& shell_;
    QSystemTrayIcon tray_;
    QPointer<QMenu> menu_;
};

}  // namespace orvex

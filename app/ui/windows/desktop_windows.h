#pragma once

#include <QPointer>
#include <functional>
#include <memory>

#include "app/ui/application_shell.h"
#include "app/ui/menu_actions_core.h"
#include "app/ui/window_shell.h"

namespace orvex {

class HelpWindow;
class MainWindow;
class QtWindowHost;
class SettingsDialogs;
class TrayIcon;
class TutorialOverlay;

struct DesktopWindowsOptions {
    // The simulated desktop is a Mac: its buttons show the shortcut symbols. The Linux
    // desktop shows the words on a PC keyboard.
    bool macShortcutSymbols = false;
    WebAddresses addresses;
    // After a language switch: the caller ends the event loop and starts Orvex again.
    std::function<void()> restart;
};

// The windows and the tray of one Orvex, wired to its shell: made by the shell's start-up
// (after the tracker, before the hot keys and commands) and kept for the process's life.
class DesktopWindows {
  public:
    DesktopWindows(ApplicationShell& shell, DesktopWindowsOptions options);
    ~DesktopWindows();
    DesktopWindows(const DesktopWindows&) = delete;
    DesktopWindows& operator=(const DesktopWindows&) = delete;

    MainWindow& mainWindow() { return *mainWindow_; }
    WindowShell& windowShell() { return *windowShell_; }
    // None where the desktop has no tray.
    TrayIcon* tray() { return tray_.get(); }
    HelpWindow* helpWindow();

  private:
    void openHelpWindow();
    void setLanguage(const std::string& language);

    ApplicationShell& shell_;
    DesktopWindowsOptions options_;
    std::unique_ptr<MainWindow> mainWindow_;
    std::unique_ptr<QtWindowHost> host_;
    std::unique_ptr<WindowShell> windowShell_;
    std::unique_ptr<TrayIcon> tray_;
    std::unique_ptr<SettingsDialogs> dialogs_;
    TutorialOverlay* tutorial_ = nullptr;  // owned by the main view's area
    QPointer<HelpWindow> help_;            // deletes itself when closed
};

}  // namespace orvex

#include "app/ui/windows/desktop_windows.h"

#include <QApplication>
#include <QTimer>
#include <algorithm>

#include "app/execution/previous_app_tracker.h"
#include "app/shortcuts/shortcut_manager.h"
#include "app/shortcuts/shortcut_strings.h"
#include "app/ui/autostart_entry.h"
#include "app/ui/windows/about_box.h"
#include "app/ui/windows/help_window.h"
#include "app/ui/windows/main_window.h"
#include "app/ui/windows/qt_window_host.h"
#include "app/ui/windows/settings_dialogs.h"
#include "app/ui/windows/tray_icon.h"
#include "app/ui/windows/tutorial_overlay.h"
#include "base/log.h"

namespace orvex {
namespace {

// The platform activates a window it was asked to only once the request has gone round;
// a second request a moment later wins over the window that had the focus.
constexpr int kHelpReactivateMs = 100;

}  // namespace

DesktopWindows::DesktopWindows(ApplicationShell& shell, DesktopWindowsOptions options)
    : shell_(shell), options_(std::move(options)) {
    // Closing the help window while the main one is hidden must not end the application.
    // Quitting goes through exit(), not quit(): quit() first closes the windows, and the
    // main window refuses (it only hides), which would cancel the quit.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(TrayIcon::icon());

    AppState& state = shell_.state();
    LocalizationManager& i18n = shell_.i18n();
    MainViewHooks viewHooks{
        [this](const PresetData& preset) { shell_.runPreset(preset); },
        options_.macShortcutSymbols
            ? std::function<std::string(const std::string&)>(
                  [](const std::string& shortcut) { return displayString(shortcut); })
            : [](const std::string& shortcut) { return keyboardText(shortcut); }};
    Desktop* desktop = shell_.desktop();
    // Beside Orvex's own directory: the configuration home it was resolved in.
    const auto autostart = std::make_shared<AutostartEntry>(
        AutostartEntry::forThisProgram(shell_.paths().orvexDirectory.parent_path()));
    MenuActions actions{
        [this] { showAboutBox(mainWindow_.get(), shell_.i18n()); },
        [] { QCoreApplication::exit(0); },
        [this] { dialogs_->exportSettings(); },
        [this] { dialogs_->importSettings(); },
        [this] { dialogs_->resetPresets(); },
        [this] { windowShell_->toggleAlwaysOnTop(); },
        [this](std::string language) { setLanguage(language); },
        [this] { windowShell_->openHelp(); },
        [this] { windowShell_->startTutorial(); },
        [this, desktop] {
            openPage(desktop, websiteFor(options_.addresses, shell_.i18n().currentLang()));
        },
        [this, desktop] {
            openPage(desktop, askAIFor(options_.addresses, shell_.i18n().currentLang()));
        },
        [autostart] { return autostart->enabled(); },
        [this, autostart](bool enabled) {
            if (auto error = autostart->setEnabled(enabled)) {
                log::system("[Orvex] " + *error);
                shell_.state().setStatus(
                    shell_.i18n().text("status.autostartFailed", {{"msg", *error}}), true);
            }
        },
    };
    MainWindowHooks windowHooks{[this] { windowShell_->mainWindowCloseRequested(); },
                                [this] { windowShell_->windowBecameKey(); }};
    SettingsScreenHooks settingsHooks;
    settingsHooks.mainQueue = &shell_.mainQueue();
    // What an app preset can name: the applications installed on the desktop.
    settingsHooks.applicationNames = [desktop] {
        return desktop && desktop->workspace ? desktop->workspace->installedApplicationNames()
                                             : std::vector<std::string>{};
    };
    settingsHooks.shortcutRegistered = [this](const std::string& presetId) {
        const ShortcutManager* manager = shell_.shortcuts();
        if (!manager) {
            return true;
        }
        return std::ranges::any_of(manager->registeredPresets(),
                                   [&](const auto& entry) { return entry.second.id == presetId; });
    };
    mainWindow_ = std::make_unique<MainWindow>(state, i18n, shell_.notifications(),
                                               std::move(viewHooks), std::move(actions),
                                               std::move(windowHooks), std::move(settingsHooks));
    tutorial_ = new TutorialOverlay(i18n, shell_.notifications(), mainWindow_->mainViewArea());
    host_ = std::make_unique<QtWindowHost>(
        *mainWindow_,
        QtWindowHostHooks{[this] { return help_ && help_->isVisible(); },
                          [this] { openHelpWindow(); }, [this] { tutorial_->start(); }});

    PreviousAppTracker* tracker = shell_.tracker();
    WindowShellHooks hooks;
    if (tracker) {
        hooks.isSending = [tracker] { return tracker->isSending(); };
        hooks.setSending = [tracker](bool sending) { tracker->setIsSending(sending); };
    }
    hooks.quit = [] { QCoreApplication::exit(0); };
    windowShell_ = std::make_unique<WindowShell>(state, i18n, shell_.notifications(),
                                                 shell_.mainQueue(), *host_, std::move(hooks));
    dialogs_ = std::make_unique<SettingsDialogs>(state, i18n, mainWindow_.get(),
                                                 [this] { mainWindow_->rebuildMainView(); });

    if (TrayIcon::available()) {
        tray_ = std::make_unique<TrayIcon>(*windowShell_);
        tray_->show();
    } else {
        // Without a tray the window is the only way in: it shows at start, and a second
        // start of Orvex brings it back once it is hidden.
        std::string notice = i18n.text("status.noTray");
        log::system("[Orvex] " + notice);
        windowShell_->showMainWindow();
        state.setStatus(std::move(notice), false);
    }
}

DesktopWindows::~DesktopWindows() {
    delete help_.data();
}

HelpWindow* DesktopWindows::helpWindow() {
    return help_;
}

void DesktopWindows::openHelpWindow() {
    if (help_ && help_->isVisible()) {
        help_->raise();
        help_->activateWindow();
        return;
    }
    help_ = new HelpWindow(shell_.i18n());
    QObject::connect(help_, &HelpWindow::closed, help_,
                     [this] { windowShell_->helpWindowClosed(); });
    help_->show();
    help_->raise();
    help_->activateWindow();
    QTimer::singleShot(kHelpReactivateMs, help_, [help = help_] {
        if (help) {
            help->activateWindow();
        }
    });
}

void DesktopWindows::setLanguage(const std::string& language) {
    // A failed save has already said so in the status line; Orvex stays in its language.
    if (!switchLanguage(shell_.state(), shell_.i18n(), shell_.desktop(), language)) {
        return;
    }
    if (options_.restart) {
        options_.restart();
    }
}

}  // namespace orvex

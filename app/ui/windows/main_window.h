#pragma once

#include <QMainWindow>
#include <functional>
#include <string>

#include "app/i18n/localization_manager.h"
#include "app/notifications/notification_center.h"
#include "app/store/app_state.h"
#include "app/ui/windows/main_view.h"
#include "app/ui/windows/preset_editor.h"

class QAction;
class QActionGroup;
class QMenu;
class QStackedWidget;

namespace orvex {

class SettingsContainer;

// What the menu bar's items do; the composition fills them in. Empty ones do nothing.
struct MenuActions {
    std::function<void()> about;
    std::function<void()> quit;
    std::function<void()> exportSettings;
    std::function<void()> importSettings;
    std::function<void()> resetPresets;
    std::function<void()> toggleAlwaysOnTop;
    // "ja" or "en".
    std::function<void(std::string)> setLanguage;
    std::function<void()> openHelp;
    std::function<void()> startTutorial;
    std::function<void()> openWebsite;
    std::function<void()> openAskAI;
    // "Start at Login": whether it is on now (asked each time the menu shows), and the
    // switch. Without them the item is disabled.
    std::function<bool()> startsAtLogin;
    std::function<void(bool)> setStartAtLogin;
};

struct MainWindowHooks {
    // The close button was used. The window stays open until told to hide.
    std::function<void()> closeRequested;
    // The window took the focus.
    std::function<void()> windowBecameKey;
};

// The one main window: made once and only ever hidden, never closed. Its content is the main
// view or the settings page; its menu bar carries the application's commands.
class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    static constexpr int kContentWidth = 600;
    static constexpr int kContentHeight = 800;

    MainWindow(AppState& state, LocalizationManager& i18n, NotificationCenter& notifications,
               MainViewHooks viewHooks, MenuActions actions, MainWindowHooks hooks,
               SettingsScreenHooks settingsHooks = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The settings page (true) or the main view (false).
    void showSettings(bool settings);
    bool settingsShown() const;
    // Floats above other windows; a visible window stays visible and in place.
    void setAlwaysOnTop(bool onTop);
    // A fresh main view from the current state, after an import or a reset.
    void rebuildMainView();
    // The page that holds the main view; it outlives every rebuild of the view, so an
    // overlay laid over it stays.
    QWidget* mainViewArea() const;
    MainView* mainView() const { return mainView_; }
    SettingsContainer* settingsPage() const { return settings_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

  private:
    void buildMenus();
    void retranslate();
    void syncChecks();
    QAction* addAction(QMenu* menu, const std::function<void()>& action);

    AppState& state_;
    LocalizationManager& i18n_;
    NotificationCenter& notifications_;
    MainViewHooks viewHooks_;
    MenuActions actions_;
    MainWindowHooks hooks_;

    QStackedWidget* pages_ = nullptr;
    QWidget* mainArea_ = nullptr;
    MainView* mainView_ = nullptr;
    SettingsContainer* settings_ = nullptr;

    QMenu* appMenu_ = nullptr;
    QMenu* presetsMenu_ = nullptr;
    QMenu* viewMenu_ = nullptr;
    QMenu* languageMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QAction* about_ = nullptr;
    QAction* startAtLogin_ = nullptr;
    QAction* alwaysOnTop_ = nullptr;
    QAction* japanese_ = nullptr;
    QAction* english_ = nullptr;
    QAction* quit_ = nullptr;
    QAction* export_ = nullptr;
    QAction* import_ = nullptr;
    QAction* reset_ = nullptr;
    QAction* openHelp_ = nullptr;
    QAction* tutorial_ = nullptr;
    QAction* website_ = nullptr;
    QAction* askAI_ = nullptr;

    AppState::ObserverId stateObserver_ = 0;
    std::size_t languageObserver_ = 0;
};

}  // namespace orvex

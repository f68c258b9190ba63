#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "app/i18n/localization_manager.h"
#include "app/notifications/notification_center.h"
#include "app/store/app_state.h"

class QLabel;
class QPushButton;
class QScrollArea;

namespace orvex {

struct MainViewHooks {
    // Starts a run of the preset and returns at once; progress and failures arrive through
    // the status line.
    std::function<void(const PresetData&)> run;
    // A stored shortcut ("CommandOrControl+Shift+2") as this desktop writes it.
    std::function<std::string(const std::string&)> shortcutText;
};

// The presets as buttons, grouped by folder, with a settings button and the status line.
// Holds no preset state: the list is drawn from AppState and redrawn from scratch whenever
// the presets or the language change.
class MainView : public QWidget {
    Q_OBJECT
  public:
    MainView(AppState& state, LocalizationManager& i18n, NotificationCenter& notifications,
             MainViewHooks hooks, QWidget* parent = nullptr);
    ~MainView() override;

    // Where the keyboard focus goes when the view is shown.
    QWidget* firstFocus() const;

  private:
    void retranslate();
    void rebuildList();
    QWidget* buildList();
    QWidget* buildFolderHeader(const FolderItem& folder);
    QWidget* buildPresetButton(const PresetData& preset);
    void toggleFolder(const std::string& folderId);

    AppState& state_;
    LocalizationManager& i18n_;
    NotificationCenter& notifications_;
    MainViewHooks hooks_;
    QLabel* title_ = nullptr;
    QPushButton* settingsButton_ = nullptr;
    QScrollArea* scrollArea_ = nullptr;
    AppState::ObserverId stateObserver_ = 0;
    std::size_t languageObserver_ = 0;
};

}  // namespace orvex

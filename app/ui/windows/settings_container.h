#pragma once

#include <QWidget>

#include "app/i18n/localization_manager.h"
#include "app/notifications/notification_center.h"
#include "app/store/app_state.h"
#include "app/ui/windows/preset_editor.h"

class QLabel;
class QPushButton;

namespace orvex {

class SettingsScreen;

// The settings page of the main window: its title, the way back to the preset buttons, and
// the settings screen (the preset list and the preset editor) below them.
class SettingsContainer : public QWidget {
    Q_OBJECT
  public:
    SettingsContainer(AppState& state, LocalizationManager& i18n, NotificationCenter& notifications,
                      SettingsScreenHooks hooks, QWidget* parent = nullptr);
    ~SettingsContainer() override;

    QWidget* firstFocus() const;
    SettingsScreen* screen() const { return screen_; }

  private:
    void retranslate();

    LocalizationManager& i18n_;
    NotificationCenter& notifications_;
    QLabel* title_ = nullptr;
    QPushButton* back_ = nullptr;
    SettingsScreen* screen_ = nullptr;
    std::size_t languageObserver_ = 0;
    NotificationCenter::Token editObserver_ = 0;
};

}  // namespace orvex

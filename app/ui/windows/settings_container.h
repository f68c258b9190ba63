#pragma once

#include <QWidget>

#include "app/i18n/localization_manager.h"
#include "app/notifications/notification_center.h"

class QLabel;
class QPushButton;

namespace orvex {

// The settings page of the main window: its title and the way back to the preset buttons.
// The settings screen proper (the preset list and the preset editor) is laid into this page
// below the title; the page itself only frames it and leads back.
class SettingsContainer : public QWidget {
    Q_OBJECT
  public:
    SettingsContainer(LocalizationManager& i18n, NotificationCenter& notifications,
                      QWidget* parent = nullptr);
    ~SettingsContainer() override;

    QWidget* firstFocus() const;

  private:
    void retranslate();

    LocalizationManager& i18n_;
    QLabel* title_ = nullptr;
    QPushButton* back_ = nullptr;
    std::size_t languageObserver_ = 0;
};

}  // namespace orvex

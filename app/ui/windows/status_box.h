#pragma once

#include <QWidget>

#include "app/i18n/localization_manager.h"
#include "app/i18n/status_style.h"
#include "app/store/app_state.h"

namespace orvex {

// The status line, coloured by its class: the message (or the standby text when there is
// none) centred in a rounded box as wide as the window. Redrawn whenever the message, its
// error flag or the language changes.
class StatusBox : public QWidget {
    Q_OBJECT
  public:
    StatusBox(AppState& state, LocalizationManager& i18n, QWidget* parent = nullptr);
    ~StatusBox() override;

    // What the box shows now, and in which class.
    QString shownText() const;
    StatusClass shownClass() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void refresh();
    QFont textFont() const;

    AppState& state_;
    LocalizationManager& i18n_;
    AppState::ObserverId stateObserver_ = 0;
    std::size_t languageObserver_ = 0;
};

}  // namespace orvex

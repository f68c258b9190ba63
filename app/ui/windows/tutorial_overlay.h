#pragma once

#include <QWidget>

#include "app/i18n/localization_manager.h"
#include "app/notifications/notification_center.h"

class QLabel;
class QPushButton;

namespace orvex {

// The first-run tutorial: six cards over a dimmed copy of the widget it covers. It is a
// child of that widget and follows its size. Skipping or finishing hides it and posts
// "tutorialCompleted"; it can be started again any time.
class TutorialOverlay : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kSteps = 6;

    // `covered` becomes the parent; the overlay is deleted with it.
    TutorialOverlay(LocalizationManager& i18n, NotificationCenter& notifications, QWidget* covered);
    ~TutorialOverlay() override;

    // Shows step one in front of everything else in the covered widget.
    void start();
    // The step shown, from 1 to kSteps.
    int step() const { return step_; }
    bool running() const { return running_; }

    // On the last step, next() finishes.
    void next();
    void back();
    void skip();

  signals:
    // The tutorial ended, by skipping or finishing.
    void finished();

  protected:
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void showStep();
    void finish();
    // Handles the tutorial's keys wherever the focus is inside it; true when used.
    bool handleKey(int key);

    LocalizationManager& i18n_;
    NotificationCenter& notifications_;
    std::size_t languageObserver_ = 0;
    int step_ = 1;
    bool running_ = false;

    QLabel* progress_ = nullptr;
    QLabel* title_ = nullptr;
    QLabel* text_ = nullptr;
    QPushButton* back_ = nullptr;
    QPushButton* skip_ = nullptr;
    QPushButton* next_ = nullptr;
};

}  // namespace orvex

#include "app/ui/windows/tutorial_overlay.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMetaObject>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>

namespace orvex {
namespace {

constexpr int kCardWidth = 480;
constexpr int kCardMargin = 24;
// Dark enough that the card stands out, light enough that the window stays recognisable.
const QColor kBackdrop(4, 12, 10, 190);

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

std::string stepKey(int step, const char* part) {
    return "tutorial.step" + std::to_string(step) + part;
}

QLabel* wrappingLabel(const char* objectName) {
    auto* label = new QLabel;
    label->setObjectName(objectName);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}  // namespace

TutorialOverlay::TutorialOverlay(LocalizationManager& i18n, NotificationCenter& notifications,
                                 QWidget* covered)
    : QWidget(covered), i18n_(i18n), notifications_(notifications) {
    setObjectName("tutorialOverlay");
    setFocusPolicy(Qt::StrongFocus);
    // Clicks on the dimmed part stay here instead of reaching the window underneath.
    setAttribute(Qt::WA_NoMousePropagation);
    hide();

    auto* card = new QFrame;
    card->setObjectName("tutorialCard");
    card->setMaximumWidth(kCardWidth);
    card->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    auto* cardLayout = new QVBoxLayout(card);
    cardLayout->setContentsMargins(kCardMargin, kCardMargin, kCardMargin, kCardMargin);
    cardLayout->setSpacing(16);
    progress_ = wrappingLabel("tutorialProgress");
    title_ = wrappingLabel("tutorialTitle");
    text_ = wrappingLabel("tutorialText");
    cardLayout->addWidget(progress_);
    cardLayout->addWidget(title_);
    cardLayout->addWidget(text_);

    back_ = new QPushButton;
    skip_ = new QPushButton;
    next_ = new QPushButton;
    next_->setObjectName("tutorialNext");
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addWidget(back_);
    buttons->addStretch(1);
    buttons->addWidget(skip_);
    buttons->addWidget(next_);
    cardLayout->addSpacing(8);
    cardLayout->addLayout(buttons);
    for (QPushButton* button : {back_, skip_, next_}) {
        // The tutorial's keys work whichever of its buttons has the focus.
        button->installEventFilter(this);
    }
    connect(back_, &QPushButton::clicked, this, &TutorialOverlay::back);
    connect(skip_, &QPushButton::clicked, this, &TutorialOverlay::skip);
    connect(next_, &QPushButton::clicked, this, &TutorialOverlay::next);

    // The card in the middle, whatever the covered widget's size.
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(card, 100);
    row->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->addStretch(1);
    layout->addLayout(row);
    layout->addStretch(1);

    covered->installEventFilter(this);
    setGeometry(covered->rect());

    // Language changes may be announced from any thread; the card redraws on its own.
    languageObserver_ = i18n_.addObserver([this](const std::string&) {
        QMetaObject::invokeMethod(
            this, [this] { showStep(); }, Qt::QueuedConnection);
    });
    showStep();
}

TutorialOverlay::~TutorialOverlay() {
    i18n_.removeObserver(languageObserver_);
}

void TutorialOverlay::start() {
    step_ = 1;
    running_ = true;
    setGeometry(parentWidget()->rect());
    showStep();
    show();
    raise();
    next_->setFocus(Qt::OtherFocusReason);
}

void TutorialOverlay::next() {
    if (!running_) {
        return;
    }
    if (step_ == kSteps) {
        finish();
        return;
    }
    ++step_;
    showStep();
}

void TutorialOverlay::back() {
    if (!running_ || step_ == 1) {
        return;
    }
    --step_;
    showStep();
}

void TutorialOverlay::skip() {
    if (running_) {
        finish();
    }
}

void TutorialOverlay::finish() {
    running_ = false;
    hide();
    notifications_.post(notifications::tutorialCompleted);
    emit finished();
}

void TutorialOverlay::showStep() {
    progress_->setText(QStringLiteral("%1 / %2").arg(step_).arg(kSteps));
    title_->setText(qs(i18n_.text(stepKey(step_, "Title"))));
    text_->setText(qs(i18n_.text(stepKey(step_, "Text"))));
    // A wrapped label inside a card that may only shrink is given the height of one line
    // less than it needs; the whole text, at the card's inner width, is what it asks for.
    text_->setMinimumHeight(text_->heightForWidth(kCardWidth - 2 * kCardMargin));
    back_->setText(qs(i18n_.text("tutorial.back")));
    skip_->setText(qs(i18n_.text("tutorial.skip")));
    next_->setText(qs(step_ == kSteps ? i18n_.text("tutorial.done") : i18n_.text("tutorial.next")));
    for (QPushButton* button : {back_, skip_, next_}) {
        button->setAccessibleName(button->text());
    }
    const bool focusWasOnBack = back_->hasFocus();
    back_->setEnabled(step_ > 1);
    // A disabled button drops the focus; the reader's next key still has to land here.
    if (focusWasOnBack && !back_->isEnabled()) {
        next_->setFocus(Qt::OtherFocusReason);
    }
}

bool TutorialOverlay::handleKey(int key) {
    switch (key) {
        case Qt::Key_Escape:
            skip();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Right:
            next();
            return true;
        case Qt::Key_Left:
            back();
            return true;
        default:
            return false;
    }
}

void TutorialOverlay::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (handleKey(event->key())) {
            event->accept();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

bool TutorialOverlay::focusNextPrevChild(bool next) {
    // Tab stays on the card while the tutorial runs; the window underneath waits.
    std::array<QPushButton*, 3> order{back_, skip_, next_};
    std::vector<QPushButton*> usable;
    for (QPushButton* button : order) {
        if (button->isEnabled() && button->isVisible()) {
            usable.push_back(button);
        }
    }
    if (!running_ || usable.empty()) {
        return QWidget::focusNextPrevChild(next);
    }
    const auto size = static_cast<int>(usable.size());
    int at = -1;
    for (int i = 0; i < size; ++i) {
        if (usable[i]->hasFocus()) {
            at = i;
        }
    }
    const int target = at < 0 ? 0 : (at + (next ? 1 : size - 1)) % size;
    usable[target]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

bool TutorialOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget()) {
        if (event->type() == QEvent::Resize) {
            setGeometry(parentWidget()->rect());
        } else if (event->type() == QEvent::ChildAdded && running_) {
            // Content rebuilt underneath must not end up on top of the card.
            raise();
        }
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
            return handleKey(key->key());
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TutorialOverlay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackdrop);
}

}  // namespace orvex

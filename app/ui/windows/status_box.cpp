#include "app/ui/windows/status_box.h"

#include <QAccessible>
#include <QMetaObject>
#include <QPainter>
#include <QPainterPath>

#include "app/i18n/status_style.h"

namespace orvex {
namespace {

constexpr int kInnerMargin = 10;
constexpr qreal kCornerRadius = 8;
constexpr int kFontPixelSize = 16;
constexpr int kTextFlags = Qt::AlignCenter | Qt::TextWordWrap;

QColor toColor(const Rgba& rgba) {
    return QColor::fromRgbF(static_cast<float>(rgba.red), static_cast<float>(rgba.green),
                            static_cast<float>(rgba.blue), static_cast<float>(rgba.opacity));
}

}  // namespace

StatusBox::StatusBox(AppState& state, LocalizationManager& i18n, QWidget* parent)
    : QWidget(parent), state_(state), i18n_(i18n) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    stateObserver_ = state_.addObserver({{}, [this](StateField field) {
                                             if (field == StateField::statusMessage ||
                                                 field == StateField::statusIsError) {
                                                 refresh();
                                             }
                                         }});
    // Language changes may be announced from any thread; the box redraws on its own.
    languageObserver_ = i18n_.addObserver([this](const std::string&) {
        QMetaObject::invokeMethod(
            this, [this] { refresh(); }, Qt::QueuedConnection);
    });
    refresh();
}

StatusBox::~StatusBox() {
    state_.removeObserver(stateObserver_);
    i18n_.removeObserver(languageObserver_);
}

QString StatusBox::shownText() const {
    const std::string& message = state_.statusMessage();
    return QString::fromStdString(message.empty() ? i18n_.text("status.standby") : message);
}

StatusClass StatusBox::shownClass() const {
    return statusStyle(state_.statusMessage(), state_.statusIsError(), i18n_).statusClass;
}

QFont StatusBox::textFont() const {
    QFont font = this->font();
    font.setPixelSize(kFontPixelSize);
    return font;
}

int StatusBox::heightForWidth(int width) const {
    QFontMetrics metrics(textFont());
    QRect text = metrics.boundingRect(QRect(0, 0, std::max(1, width - 2 * kInnerMargin), 10000),
                                      kTextFlags, shownText());
    return text.height() + 2 * kInnerMargin;
}

QSize StatusBox::sizeHint() const {
    return {400, heightForWidth(400)};
}

QSize StatusBox::minimumSizeHint() const {
    return {100, QFontMetrics(textFont()).height() + 2 * kInnerMargin};
}

void StatusBox::refresh() {
    // Screen readers and inputaim read the line by its name.
    setAccessibleName(shownText());
    updateGeometry();
    update();
    QAccessibleEvent event(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

void StatusBox::paintEvent(QPaintEvent*) {
    // The message as it is classifies the box, even when empty: the standby text is only
    // what is shown.
    const StatusStyle style = statusStyle(state_.statusMessage(), state_.statusIsError(), i18n_);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Half a pixel in, so the 1-pixel border falls on whole pixels.
    QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath outline;
    outline.addRoundedRect(box, kCornerRadius, kCornerRadius);
    painter.fillPath(outline, toColor(style.fill));
    painter.setPen(QPen(toColor(style.border), 1));
    painter.drawPath(outline);
    painter.setPen(toColor(style.text));
    painter.setFont(textFont());
    painter.drawText(rect().adjusted(kInnerMargin, kInnerMargin, -kInnerMargin, -kInnerMargin),
                     kTextFlags, shownText());
}

}  // namespace orvex

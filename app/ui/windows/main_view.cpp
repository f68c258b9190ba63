#include "app/ui/windows/main_view.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMetaObject>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/ui/preset_groups.h"
#include "app/ui/windows/status_box.h"

namespace orvex {
namespace {

// Which list entry a widget stands for, so the keyboard focus survives a redraw.
constexpr const char* kItemKey = "orvexItemKey";

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

// One line that shortens itself with an ellipsis instead of widening the window; the whole
// text is then in the tool tip.
class ElidedLabel : public QLabel {
  public:
    ElidedLabel(QString text, QWidget* parent) : QLabel(text, parent), full_(std::move(text)) {
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        setTextFormat(Qt::PlainText);
    }
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }

  protected:
    void resizeEvent(QResizeEvent* event) override {
        QLabel::resizeEvent(event);
        const QString shown = fontMetrics().elidedText(full_, Qt::ElideRight, width());
        setText(shown);
        // A label that lets the mouse through never sees the hover; its button does.
        QWidget* tipOwner = testAttribute(Qt::WA_TransparentForMouseEvents) && parentWidget()
                                ? parentWidget()
                                : this;
        tipOwner->setToolTip(shown == full_ ? QString() : full_);
    }

  private:
    QString full_;
};

// The open or closed mark of a folder header: pointing down when open, right when closed.
class Chevron : public QWidget {
  public:
    Chevron(bool open, QWidget* parent) : QWidget(parent), open_(open) {
        setFixedSize(12, 12);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(palette().color(QPalette::WindowText), 1.6, Qt::SolidLine, Qt::RoundCap,
                            Qt::RoundJoin));
        const QPolygonF down{{2.5, 4.0}, {6.0, 7.5}, {9.5, 4.0}};
        const QPolygonF right{{4.0, 2.5}, {7.5, 6.0}, {4.0, 9.5}};
        painter.drawPolyline(open_ ? down : right);
    }

  private:
    bool open_;
};

// A button that Enter runs as well as Space: outside dialogs Qt leaves Enter to the default
// button, and the main view has none.
class ListButton : public QPushButton {
  public:
    using QPushButton::QPushButton;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
            event->modifiers() == Qt::NoModifier) {
            click();
            return;
        }
        QPushButton::keyPressEvent(event);
    }
};

QLabel* childLabel(const QString& text, const char* name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

}  // namespace

MainView::MainView(AppState& state, LocalizationManager& i18n, NotificationCenter& notifications,
                   MainViewHooks hooks, QWidget* parent)
    : QWidget(parent),
      state_(state),
      i18n_(i18n),
      notifications_(notifications),
      hooks_(std::move(hooks)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 24);
    layout->setSpacing(16);

    auto* top = new QHBoxLayout;
    top->setSpacing(8);
    title_ = new QLabel(this);
    title_->setObjectName("viewTitle");
    settingsButton_ = new ListButton(this);
    settingsButton_->setObjectName("settingsButton");
    connect(settingsButton_, &QPushButton::clicked, this,
            [this] { notifications_.post(notifications::openSettings); });
    top->addWidget(title_, 1);
    top->addWidget(settingsButton_);
    layout->addLayout(top);

    scrollArea_ = new QScrollArea(this);
    scrollArea_->setFrameShape(QFrame::NoFrame);
    scrollArea_->setWidgetResizable(true);
    scrollArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    layout->addWidget(scrollArea_, 1);

    // The success and error colours are light tints with black text: on the dark window
    // they would be unreadable, so the box lies on a light ground of its own shape. The
    // neutral fill is nearly opaque and still reads dark there.
    auto* ground = new QFrame(this);
    ground->setObjectName("statusGround");
    auto* groundLayout = new QVBoxLayout(ground);
    groundLayout->setContentsMargins(0, 0, 0, 0);
    groundLayout->addWidget(new StatusBox(state_, i18n_, ground));
    layout->addWidget(ground);

    retranslate();
    stateObserver_ = state_.addObserver({{}, [this](StateField field) {
                                             if (field == StateField::presets) {
                                                 rebuildList();
                                             }
                                         }});
    // Language changes may be announced from any thread; the redraw belongs to this one.
    languageObserver_ = i18n_.addObserver([this](const std::string&) {
        QMetaObject::invokeMethod(
            this, [this] { retranslate(); }, Qt::QueuedConnection);
    });
}

MainView::~MainView() {
    state_.removeObserver(stateObserver_);
    i18n_.removeObserver(languageObserver_);
}

QWidget* MainView::firstFocus() const {
    QWidget* list = scrollArea_->widget();
    const auto buttons = list ? list->findChildren<QPushButton*>() : QList<QPushButton*>{};
    return buttons.isEmpty() ? static_cast<QWidget*>(settingsButton_) : buttons.front();
}

void MainView::retranslate() {
    title_->setText(qs(i18n_.text("index.presets")));
    settingsButton_->setText(qs(i18n_.text("index.settings")));
    settingsButton_->setAccessibleName(settingsButton_->text());
    rebuildList();
}

void MainView::rebuildList() {
    QString focusedKey;
    QWidget* old = scrollArea_->widget();
    // The window's focus child rather than the application's: it is kept while the window
    // is not the active one too.
    if (QWidget* focused = window()->focusWidget(); old && focused && old->isAncestorOf(focused)) {
        focusedKey = focused->property(kItemKey).toString();
    }
    const int scrolled = scrollArea_->verticalScrollBar()->value();
    // The old list may be the one whose button is being clicked right now (a folder
    // toggle): it goes once that click is over.
    if (QWidget* taken = scrollArea_->takeWidget()) {
        taken->deleteLater();
    }
    QWidget* list = buildList();
    scrollArea_->setWidget(list);
    scrollArea_->verticalScrollBar()->setValue(scrolled);
    if (!focusedKey.isEmpty()) {
        for (QWidget* widget : list->findChildren<QWidget*>()) {
            if (widget->property(kItemKey).toString() == focusedKey) {
                widget->setFocus(Qt::OtherFocusReason);
                break;
            }
        }
    }
}

QWidget* MainView::buildList() {
    auto* list = new QWidget;
    auto* layout = new QVBoxLayout(list);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    for (const PresetGroup& group : groupPresets(state_.presets())) {
        if (!group.folder) {
            layout->addWidget(buildPresetButton(group.presets.front()));
            continue;
        }
        layout->addWidget(buildFolderHeader(*group.folder));
        if (!group.folder->open) {
            continue;
        }
        auto* inside = new QVBoxLayout;
        inside->setContentsMargins(16, 0, 0, 0);
        inside->setSpacing(8);
        for (const PresetData& preset : group.presets) {
            inside->addWidget(buildPresetButton(preset));
        }
        layout->addLayout(inside);
    }
    layout->addStretch(1);
    return list;
}

QWidget* MainView::buildFolderHeader(const FolderItem& folder) {
    auto* header = new ListButton;
    header->setObjectName("folderHeader");
    header->setProperty(kItemKey, qs("folder:" + folder.id));
    header->setAccessibleName(qs(folder.label));
    // Checked while open, so assistive tools can say whether the folder is expanded.
    header->setCheckable(true);
    header->setChecked(folder.open);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(8, 4, 8, 4);
    row->setSpacing(8);
    row->addWidget(new Chevron(folder.open, header));
    auto* label = new ElidedLabel(qs(folder.label), header);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    row->addWidget(label, 1);
    header->setMinimumHeight(row->minimumSize().height());
    connect(header, &QPushButton::clicked, this, [this, id = folder.id] { toggleFolder(id); });
    return header;
}

QWidget* MainView::buildPresetButton(const PresetData& preset) {
    auto* button = new ListButton;
    button->setObjectName("presetButton");
    button->setProperty(kItemKey, qs("preset:" + preset.id));
    button->setAccessibleName(qs(preset.label));
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    auto* row = new QHBoxLayout(button);
    row->setContentsMargins(16, 8, 16, 8);
    row->setSpacing(8);
    auto* column = new QVBoxLayout;
    column->setSpacing(4);
    auto* title = new ElidedLabel(qs(preset.label), button);
    title->setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont bold = title->font();
    bold.setWeight(QFont::DemiBold);
    title->setFont(bold);
    column->addWidget(title);

    QStringList description;
    auto* details = new QHBoxLayout;
    details->setSpacing(8);
    const QString badge = qs(i18n_.text(badgeKey(preset)));
    details->addWidget(childLabel(badge, "badge", button));
    description << badge;
    if (std::optional<std::string> key = destinationTextKey(preset)) {
        const QString destination = qs(i18n_.text(*key));
        details->addWidget(childLabel(destination, "destination", button));
        description << destination;
    }
    details->addStretch(1);
    column->addLayout(details);
    row->addLayout(column, 1);

    if (!preset.shortcut.empty()) {
        const QString shortcut =
            qs(hooks_.shortcutText ? hooks_.shortcutText(preset.shortcut) : preset.shortcut);
        row->addWidget(childLabel(shortcut, "shortcut", button), 0, Qt::AlignVCenter);
        description << shortcut;
    }
    button->setAccessibleDescription(description.join(QStringLiteral(" · ")));
    button->setMinimumHeight(row->minimumSize().height());
    // A copy: the run outlives this button, which the next redraw replaces.
    connect(button, &QPushButton::clicked, this, [this, preset] {
        if (hooks_.run) {
            hooks_.run(preset);
        }
    });
    return button;
}

void MainView::toggleFolder(const std::string& folderId) {
    if (auto toggled = withFolderToggled(state_.presets(), folderId)) {
        state_.commitPresets(std::move(*toggled));
    }
}

}  // namespace orvex

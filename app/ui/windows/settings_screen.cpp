#include "app/ui/windows/settings_screen.h"

#include <QDragEnterEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMetaObject>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "app/commands/organize_into_folders.h"
#include "app/ui/preset_list_edits.h"
#include "app/ui/qt_main_queue.h"
#include "app/ui/windows/preset_list_model.h"
#include "base/clock.h"

namespace orvex {
namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

// The tree with the settings screen's keys: Ctrl+Up/Down move the selected preset, Delete
// asks to delete, Enter edits a preset or renames a folder. Arrows move the selection.
class PresetTree : public QTreeView {
  public:
    std::function<void(QKeyEvent*, bool&)> keyHandler;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        bool handled = false;
        if (keyHandler && state() != QAbstractItemView::EditingState) {
            keyHandler(event, handled);
        }
        if (!handled) {
            QTreeView::keyPressEvent(event);
        }
    }
};

constexpr int kMemberIndent = 20;

// A preset row in two lines, name over its action, destination and shortcut; a folder row
// in one, its name.
class PresetRowDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const int line = option.fontMetrics.height();
        const bool folder = index.data(PresetListModel::IsFolderRole).toBool();
        return {option.rect.width(), folder ? line + 16 : 2 * line + 20};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem base = option;
        initStyleOption(&base, index);
        // A folder's presets are indented here rather than by the tree, whose indentation
        // strip would be highlighted apart from the row.
        if (index.parent().isValid()) {
            base.rect.adjust(kMemberIndent, 0, 0, 0);
        }
        const QString name = base.text;
        base.text.clear();
        QStyle* style = base.widget ? base.widget->style() : nullptr;
        if (style) {
            style->drawControl(QStyle::CE_ItemViewItem, &base, painter, base.widget);
        }
        const bool folder = index.data(PresetListModel::IsFolderRole).toBool();
        QRect area = base.rect.adjusted(8, 0, -8, 0);
        painter->save();
        QFont font = option.font;
        font.setWeight(QFont::DemiBold);
        painter->setFont(font);
        painter->setPen(option.palette.color(QPalette::Text));
        const QFontMetrics metrics(font);
        if (folder) {
            painter->drawText(area, Qt::AlignVCenter | Qt::AlignLeft,
                              metrics.elidedText(name, Qt::ElideRight, area.width()));
        } else {
            const int line = option.fontMetrics.height();
            QRect top(area.left(), area.top() + 8, area.width(), line);
            painter->drawText(top, Qt::AlignLeft,
                              metrics.elidedText(name, Qt::ElideRight, top.width()));
            painter->setFont(option.font);
            painter->setPen(option.palette.color(QPalette::PlaceholderText));
            QRect bottom(area.left(), top.bottom() + 4, area.width(), line);
            painter->drawText(
                bottom, Qt::AlignLeft,
                option.fontMetrics.elidedText(index.data(PresetListModel::DetailRole).toString(),
                                              Qt::ElideRight, bottom.width()));
        }
        painter->restore();
    }
};

// Dropping a preset here takes it out of its folder.
class UngroupDropZone : public QLabel {
  public:
    std::function<void(const std::string&)> dropped;

    explicit UngroupDropZone(QWidget* parent) : QLabel(parent) {
        setObjectName("dropZone");
        setAcceptDrops(true);
        setAlignment(Qt::AlignCenter);
        setWordWrap(true);
        setProperty("active", false);
    }

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override {
        if (event->mimeData()->hasFormat(QString::fromLatin1(PresetListModel::kMimeType))) {
            setActive(true);
            event->acceptProposedAction();
        }
    }
    void dragLeaveEvent(QDragLeaveEvent*) override { setActive(false); }
    void dropEvent(QDropEvent* event) override {
        setActive(false);
        if (dropped) {
            dropped(event->mimeData()
                        ->data(QString::fromLatin1(PresetListModel::kMimeType))
                        .toStdString());
        }
        event->acceptProposedAction();
    }

  private:
    void setActive(bool active) {
        setProperty("active", active);
        style()->unpolish(this);
        style()->polish(this);
    }
};

}  // namespace

SettingsScreen::SettingsScreen(AppState& state, LocalizationManager& i18n,
                               SettingsScreenHooks hooks, QWidget* parent)
    : QWidget(parent), state_(state), i18n_(i18n), hooks_(std::move(hooks)) {
    if (!hooks_.mainQueue) {
        ownClock_ = std::make_unique<RealClock>();
        ownQueue_ = std::make_unique<QtMainQueue>(*ownClock_);
        hooks_.mainQueue = ownQueue_.get();
    }
    if (!hooks_.questions.confirm || !hooks_.questions.warn) {
        SettingsQuestions dialogs = dialogQuestions(this);
        hooks_.questions.confirm =
            hooks_.questions.confirm ? hooks_.questions.confirm : dialogs.confirm;
        hooks_.questions.warn = hooks_.questions.warn ? hooks_.questions.warn : dialogs.warn;
    }
    model_ = new PresetListModel(state_, i18n_, hooks_.shortcutText, this);
    build();
    retranslate();
    languageObserver_ = i18n_.addObserver([this](const std::string&) {
        QMetaObject::invokeMethod(
            this, [this] { retranslate(); }, Qt::QueuedConnection);
    });
}

SettingsScreen::~SettingsScreen() {
    i18n_.removeObserver(languageObserver_);
    // The editor's recording field uses the queue this screen may own: it goes first.
    delete pages_;
}

QString SettingsScreen::text(const char* key) const {
    return qs(i18n_.text(key));
}

void SettingsScreen::build() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    pages_ = new QStackedWidget(this);
    layout->addWidget(pages_);

    listPage_ = new QWidget(pages_);
    auto* page = new QVBoxLayout(listPage_);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(8);
    auto* top = new QHBoxLayout;
    top->setSpacing(8);
    addNew_ = new QPushButton(listPage_);
    addNew_->setObjectName("primaryButton");
    addGroup_ = new QPushButton(listPage_);
    organize_ = new QPushButton(listPage_);
    ungroup_ = new QPushButton(listPage_);
    edit_ = new QPushButton(listPage_);
    rename_ = new QPushButton(listPage_);
    delete_ = new QPushButton(listPage_);
    delete_->setObjectName("dangerButton");
    // What makes something and what acts on the selection sit above the list; the
    // whole-list operations below it.
    for (QPushButton* button : {addNew_, addGroup_}) {
        top->addWidget(button);
    }
    top->addStretch(1);
    for (QPushButton* button : {edit_, rename_, delete_}) {
        top->addWidget(button);
    }
    page->addLayout(top);

    auto* tree = new PresetTree;
    tree->keyHandler = [this](QKeyEvent* event, bool& handled) {
        keyPressedInList(event, handled);
    };
    list_ = tree;
    list_->setParent(listPage_);
    list_->setObjectName("presetList");
    list_->setModel(model_);
    list_->setItemDelegate(new PresetRowDelegate(list_));
    list_->setHeaderHidden(true);
    list_->setRootIsDecorated(false);
    list_->setIndentation(0);
    list_->setItemsExpandable(false);
    list_->setUniformRowHeights(false);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setDragDropMode(QAbstractItemView::InternalMove);
    list_->setDefaultDropAction(Qt::MoveAction);
    list_->setDropIndicatorShown(true);
    list_->setEditTriggers(QAbstractItemView::EditKeyPressed);
    list_->expandAll();
    page->addWidget(list_, 1);

    auto* dropZone = new UngroupDropZone(listPage_);
    dropZone->dropped = [this](const std::string& id) {
        commit(moveOutOfFolder(state_.presets(), id));
    };
    dropZone_ = dropZone;
    page->addWidget(dropZone_);

    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(8);
    bottom->addWidget(organize_);
    bottom->addWidget(ungroup_);
    bottom->addStretch(1);
    page->addLayout(bottom);
    hint_ = new QLabel(listPage_);
    hint_->setObjectName("fieldHint");
    hint_->setWordWrap(true);
    page->addWidget(hint_);
    pages_->addWidget(listPage_);

    editor_ = new PresetEditor(state_, i18n_, hooks_, *hooks_.mainQueue, pages_);
    pages_->addWidget(editor_);

    connect(addNew_, &QPushButton::clicked, this, [this] { newPreset(); });
    connect(addGroup_, &QPushButton::clicked, this, [this] { addFolder(); });
    connect(organize_, &QPushButton::clicked, this, [this] { organize(); });
    connect(ungroup_, &QPushButton::clicked, this, [this] { ungroup(); });
    connect(edit_, &QPushButton::clicked, this, [this] { editPreset(selectedId()); });
    connect(rename_, &QPushButton::clicked, this, [this] { list_->edit(list_->currentIndex()); });
    connect(delete_, &QPushButton::clicked, this, [this] { deleteSelected(); });
    connect(list_, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
        if (!model_->isFolder(index)) {
            editPreset(model_->idAt(index));
        }
    });
    connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { syncButtons(); });
    // The list is drawn afresh after every change; the selection follows the item.
    auto remembered = std::make_shared<std::string>();
    connect(model_, &QAbstractItemModel::modelAboutToBeReset, this,
            [this, remembered] { *remembered = selectedId(); });
    connect(model_, &QAbstractItemModel::modelReset, this, [this, remembered] {
        list_->expandAll();
        select(*remembered);
        syncButtons();
    });
    connect(editor_, &PresetEditor::finished, this,
            [this](const QString& id) { closeEditor(id.toStdString()); });
}

void SettingsScreen::retranslate() {
    addNew_->setText(text("settings.addNew"));
    addGroup_->setText(text("settings.addGroup"));
    organize_->setText(text("settings.organize"));
    ungroup_->setText(text("settings.ungroup"));
    edit_->setText(text("settings.edit"));
    rename_->setText(text("settings.rename"));
    delete_->setText(text("dialog.delete"));
    for (QPushButton* button : {addNew_, addGroup_, organize_, ungroup_, edit_, rename_, delete_}) {
        button->setAccessibleName(button->text());
    }
    list_->setAccessibleName(text("index.presets"));
    dropZone_->setText(text("settings.dropToUngroup"));
    dropZone_->setAccessibleName(dropZone_->text());
    hint_->setText(text("settings.listHint"));
    syncButtons();
}

void SettingsScreen::syncButtons() {
    const QModelIndex current = list_->currentIndex();
    const bool folder = model_->isFolder(current);
    edit_->setEnabled(current.isValid() && !folder);
    rename_->setEnabled(folder);
    delete_->setEnabled(current.isValid());
}

QWidget* SettingsScreen::firstFocus() const {
    return editing() ? static_cast<QWidget*>(editor_) : list_;
}

bool SettingsScreen::editing() const {
    return pages_->currentWidget() == editor_;
}

std::string SettingsScreen::selectedId() const {
    return model_->idAt(list_->currentIndex());
}

void SettingsScreen::select(const std::string& id) {
    const QModelIndex index = model_->indexOfId(id);
    if (index.isValid()) {
        list_->setCurrentIndex(index);
        list_->scrollTo(index);
    }
}

void SettingsScreen::commit(const std::optional<std::vector<PresetItem>>& edited) {
    if (edited) {
        state_.commitPresets(*edited);
    }
}

void SettingsScreen::editPreset(const std::string& presetId) {
    for (const PresetData& preset : state_.allPresets()) {
        if (preset.id == presetId) {
            if (editing() && !editor_->confirmLeave()) {
                return;
            }
            editor_->start(draftOf(preset));
            pages_->setCurrentWidget(editor_);
            return;
        }
    }
}

void SettingsScreen::newPreset() {
    const std::string folder = model_->folderOf(list_->currentIndex());
    editor_->start(newDraft(folder.empty() ? std::nullopt : std::optional(folder)));
    pages_->setCurrentWidget(editor_);
}

void SettingsScreen::closeEditor(const std::string& presetId) {
    pages_->setCurrentWidget(listPage_);
    select(presetId);
    list_->setFocus(Qt::OtherFocusReason);
}

bool SettingsScreen::confirmLeave() {
    if (!editing()) {
        return true;
    }
    if (!editor_->confirmLeave()) {
        return false;
    }
    closeEditor(editor_->draft().original.id);
    return true;
}

void SettingsScreen::addFolder() {
    AddedFolder added = orvex::addFolder(state_.presets(), i18n_.text("settings.newGroup"));
    if (state_.commitPresets(added.items)) {
        select(added.folderId);
        list_->edit(list_->currentIndex());
    }
}

void SettingsScreen::deleteSelected() {
    const QModelIndex current = list_->currentIndex();
    if (!current.isValid()) {
        return;
    }
    const bool folder = model_->isFolder(current);
    const std::string id = model_->idAt(current);
    const std::string name = current.data(Qt::DisplayRole).toString().toStdString();
    const Confirmation question{
        qs(i18n_.text(folder ? "settings.deleteGroupConfirm" : "settings.deletePresetConfirm",
                      {{"name", name}})),
        QString(), text("dialog.delete"), text("dialog.cancel"), true};
    if (!hooks_.questions.confirm(question)) {
        return;
    }
    commit(folder ? deleteFolder(state_.presets(), id) : deletePreset(state_.presets(), id));
}

void SettingsScreen::organize() {
    organizeIntoFolders(state_, i18n_);
}

void SettingsScreen::ungroup() {
    commit(ungroupAll(state_.presets()));
}

void SettingsScreen::moveSelected(int step) {
    const QModelIndex current = list_->currentIndex();
    if (current.isValid() && !model_->isFolder(current)) {
        commit(movePresetStep(state_.presets(), model_->idAt(current), step));
    }
}

void SettingsScreen::keyPressedInList(QKeyEvent* event, bool& handled) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    handled = true;
    if (modifiers == Qt::ControlModifier && (key == Qt::Key_Up || key == Qt::Key_Down)) {
        moveSelected(key == Qt::Key_Up ? -1 : 1);
    } else if (modifiers == Qt::NoModifier && key == Qt::Key_Delete) {
        deleteSelected();
    } else if (modifiers == Qt::NoModifier && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        const QModelIndex current = list_->currentIndex();
        if (model_->isFolder(current)) {
            list_->edit(current);
        } else if (current.isValid()) {
            editPreset(model_->idAt(current));
        }
    } else {
        handled = false;
    }
}

}  // namespace orvex

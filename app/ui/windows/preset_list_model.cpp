#include "app/ui/windows/preset_list_model.h"

#include <QMetaObject>
#include <QMimeData>

#include "app/ui/preset_list_edits.h"

namespace orvex {
namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

// A top-level row carries 0; a row inside a folder carries its folder's row plus one.
constexpr quintptr kTopLevel = 0;

}  // namespace

PresetListModel::PresetListModel(AppState& state, LocalizationManager& i18n,
                                 std::function<std::string(const std::string&)> shortcutText,
                                 QObject* parent)
    : QAbstractItemModel(parent),
      state_(state),
      i18n_(i18n),
      shortcutText_(std::move(shortcutText)) {
    groups_ = groupPresets(state_.presets());
    stateObserver_ = state_.addObserver({{}, [this](StateField field) {
                                             if (field == StateField::presets) {
                                                 reload();
                                             }
                                         }});
    languageObserver_ = i18n_.addObserver([this](const std::string&) {
        QMetaObject::invokeMethod(
            this, [this] { reload(); }, Qt::QueuedConnection);
    });
}

PresetListModel::~PresetListModel() {
    state_.removeObserver(stateObserver_);
    i18n_.removeObserver(languageObserver_);
}

void PresetListModel::reload() {
    beginResetModel();
    groups_ = groupPresets(state_.presets());
    endResetModel();
}

QModelIndex PresetListModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column != 0) {
        return {};
    }
    if (!parent.isValid()) {
        return row < static_cast<int>(groups_.size()) ? createIndex(row, 0, kTopLevel)
                                                      : QModelIndex{};
    }
    if (parent.internalId() != kTopLevel || !groups_[parent.row()].folder ||
        row >= static_cast<int>(groups_[parent.row()].presets.size())) {
        return {};
    }
    return createIndex(row, 0, static_cast<quintptr>(parent.row()) + 1);
}

QModelIndex PresetListModel::parent(const QModelIndex& child) const {
    if (!child.isValid() || child.internalId() == kTopLevel) {
        return {};
    }
    return createIndex(static_cast<int>(child.internalId() - 1), 0, kTopLevel);
}

int PresetListModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) {
        return static_cast<int>(groups_.size());
    }
    if (parent.internalId() != kTopLevel || !groups_[parent.row()].folder) {
        return 0;
    }
    return static_cast<int>(groups_[parent.row()].presets.size());
}

int PresetListModel::columnCount(const QModelIndex&) const {
    return 1;
}

const PresetData* PresetListModel::presetAt(const QModelIndex& index) const {
    if (!index.isValid()) {
        return nullptr;
    }
    if (index.internalId() == kTopLevel) {
        const PresetGroup& group = groups_[index.row()];
        return group.folder ? nullptr : &group.presets.front();
    }
    return &groups_[index.internalId() - 1].presets[index.row()];
}

bool PresetListModel::isFolder(const QModelIndex& index) const {
    return index.isValid() && index.internalId() == kTopLevel &&
           groups_[index.row()].folder.has_value();
}

std::string PresetListModel::idAt(const QModelIndex& index) const {
    if (isFolder(index)) {
        return groups_[index.row()].folder->id;
    }
    const PresetData* preset = presetAt(index);
    return preset ? preset->id : std::string();
}

std::string PresetListModel::rowId(int row) const {
    return idAt(index(row, 0));
}

std::string PresetListModel::folderOf(const QModelIndex& index) const {
    if (isFolder(index)) {
        return idAt(index);
    }
    return index.isValid() && index.internalId() != kTopLevel ? idAt(index.parent())
                                                              : std::string();
}

QModelIndex PresetListModel::indexOfId(const std::string& id) const {
    for (int row = 0; row < static_cast<int>(groups_.size()); ++row) {
        const PresetGroup& group = groups_[row];
        if (!group.folder) {
            if (group.presets.front().id == id) {
                return index(row, 0);
            }
            continue;
        }
        const QModelIndex folder = index(row, 0);
        if (group.folder->id == id) {
            return folder;
        }
        for (int member = 0; member < static_cast<int>(group.presets.size()); ++member) {
            if (group.presets[member].id == id) {
                return index(member, 0, folder);
            }
        }
    }
    return {};
}

QVariant PresetListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    if (isFolder(index)) {
        const FolderItem& folder = *groups_[index.row()].folder;
        switch (role) {
            case Qt::DisplayRole:
            case Qt::EditRole:
            case Qt::AccessibleTextRole:
                return qs(folder.label);
            case IdRole:
                return qs(folder.id);
            case IsFolderRole:
                return true;
            default:
                return {};
        }
    }
    const PresetData& preset = *presetAt(index);
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return qs(preset.label.empty() ? i18n_.text("settings.newPreset") : preset.label);
        case IdRole:
            return qs(preset.id);
        case IsFolderRole:
            return false;
        case DetailRole:
        case Qt::AccessibleDescriptionRole: {
            QStringList details{qs(i18n_.text(badgeKey(preset)))};
            if (auto key = destinationTextKey(preset)) {
                details << qs(i18n_.text(*key));
            }
            if (!preset.shortcut.empty()) {
                details << qs(shortcutText_ ? shortcutText_(preset.shortcut) : preset.shortcut);
            }
            return details.join(QStringLiteral(" · "));
        }
        default:
            return {};
    }
}

bool PresetListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !isFolder(index)) {
        return false;
    }
    return commit(renameFolder(state_.presets(), idAt(index), value.toString().toStdString()));
}

Qt::ItemFlags PresetListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::ItemIsDropEnabled;
    }
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    if (isFolder(index)) {
        flags |= Qt::ItemIsDropEnabled | Qt::ItemIsEditable;
    }
    return flags;
}

Qt::DropActions PresetListModel::supportedDropActions() const {
    return Qt::MoveAction;
}

Qt::DropActions PresetListModel::supportedDragActions() const {
    return Qt::MoveAction;
}

QStringList PresetListModel::mimeTypes() const {
    return {QString::fromLatin1(kMimeType)};
}

QMimeData* PresetListModel::mimeData(const QModelIndexList& indexes) const {
    if (indexes.isEmpty()) {
        return nullptr;
    }
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kMimeType), QByteArray::fromStdString(idAt(indexes.front())));
    return data;
}

bool PresetListModel::canDropMimeData(const QMimeData* data, Qt::DropAction action, int, int,
                                      const QModelIndex& parent) const {
    if (!data || !data->hasFormat(QString::fromLatin1(kMimeType)) || action != Qt::MoveAction) {
        return false;
    }
    // A folder goes among the top-level rows, never into another folder.
    const QModelIndex dragged = indexOfId(data->data(QString::fromLatin1(kMimeType)).toStdString());
    return dragged.isValid() && (!isFolder(dragged) || !parent.isValid());
}

bool PresetListModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row,
                                   int column, const QModelIndex& parent) {
    if (!canDropMimeData(data, action, row, column, parent)) {
        return false;
    }
    const std::string id = data->data(QString::fromLatin1(kMimeType)).toStdString();
    const auto before = [&](const QModelIndex& container) -> std::optional<std::string> {
        if (row < 0 || row >= rowCount(container)) {
            return std::nullopt;
        }
        return idAt(index(row, 0, container));
    };
    if (isFolder(indexOfId(id))) {
        return commit(moveFolder(state_.presets(), id, before({})));
    }
    if (!parent.isValid()) {
        return commit(movePreset(state_.presets(), id, {std::nullopt, before({})}));
    }
    if (!isFolder(parent)) {
        return false;
    }
    return commit(movePreset(state_.presets(), id, {idAt(parent), before(parent)}));
}

bool PresetListModel::commit(const std::optional<std::vector<PresetItem>>& edited) {
    return edited && state_.commitPresets(*edited);
}

}  // namespace orvex

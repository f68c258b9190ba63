#pragma once

#include <QAbstractItemModel>
#include <functional>
#include <string>
#include <vector>

#include "app/i18n/localization_manager.h"
#include "app/store/app_state.h"
#include "app/ui/preset_groups.h"

namespace orvex {

// The preset list of the settings screen as a tree: folders with their presets, and the
// presets that stand alone, grouped as the main view groups them. A drop or a rename in
// place becomes an edit of the flat list, committed (and so saved) through the state; the
// tree is then drawn afresh from the state.
class PresetListModel : public QAbstractItemModel {
    Q_OBJECT
  public:
    enum Role {
        IdRole = Qt::UserRole + 1,
        IsFolderRole,
        // Badge, destination and shortcut, as the preset's button shows them.
        DetailRole,
    };
    static constexpr const char* kMimeType = "application/x-orvex-preset-item";

    PresetListModel(AppState& state, LocalizationManager& i18n,
                    std::function<std::string(const std::string&)> shortcutText,
                    QObject* parent = nullptr);
    ~PresetListModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    Qt::DropActions supportedDropActions() const override;
    Qt::DropActions supportedDragActions() const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

    // The index of the folder or preset with this id; invalid when there is none.
    QModelIndex indexOfId(const std::string& id) const;
    std::string idAt(const QModelIndex& index) const;
    bool isFolder(const QModelIndex& index) const;
    // The folder a preset row stands in, or the folder row itself; empty otherwise.
    std::string folderOf(const QModelIndex& index) const;

  private:
    void reload();
    const PresetData* presetAt(const QModelIndex& index) const;
    std::string rowId(int row) const;
    // The edit, committed when it changed something.
    bool commit(const std::optional<std::vector<PresetItem>>& edited);

    AppState& state_;
    LocalizationManager& i18n_;
    std::function<std::string(const std::string&)> shortcutText_;
    std::vector<PresetGroup> groups_;
    AppState::ObserverId stateObserver_ = 0;
    std::size_t languageObserver_ = 0;
};

}  // namespace orvex

#include "app/ui/preset_list_edits.h"

#include <set>

#include "base/uuid.h"

namespace orvex {
namespace {

using Index = std::size_t;

std::optional<Index> indexOf(const PresetList& items, const std::string& id) {
    for (Index i = 0; i < items.size(); ++i) {
        if (items[i].id() == id) {
            return i;
        }
    }
    return std::nullopt;
}

// For every element, the index of the folder whose run it stands in, if any.
std::vector<std::optional<Index>> runOwners(const PresetList& items) {
    std::vector<std::optional<Index>> owners(items.size());
    std::optional<Index> current;
    for (Index i = 0; i < items.size(); ++i) {
        if (items[i].isFolder()) {
            current = i;
            continue;
        }
        const PresetData& preset = *items[i].preset();
        if (current && preset.folderId == items[*current].id()) {
            owners[i] = current;
        } else {
            current.reset();
        }
    }
    return owners;
}

// One past the last preset of the run behind the folder at `folder`.
Index runEnd(const PresetList& items, Index folder) {
    Index end = folder + 1;
    while (end < items.size() && items[end].isPreset() &&
           items[end].preset()->folderId == items[folder].id()) {
        ++end;
    }
    return end;
}

// The index of `id` when it is a folder or a preset shown at the top level.
std::optional<Index> topLevelIndex(const PresetList& items, const std::string& id) {
    const auto index = indexOf(items, id);
    if (!index || runOwners(items)[*index]) {
        return std::nullopt;
    }
    return index;
}

std::optional<PresetList> changed(const PresetList& before, PresetList after) {
    if (after == before) {
        return std::nullopt;
    }
    return after;
}

const FolderItem* folderAt(const PresetList& items, const std::string& id) {
    const auto index = indexOf(items, id);
    return index ? items[*index].folder() : nullptr;
}

}  // namespace

std::optional<PresetList> movePreset(const PresetList& items, const std::string& presetId,
                                     const PresetTarget& target) {
    const auto from = indexOf(items, presetId);
    if (!from || !items[*from].isPreset() || target.beforeId == presetId) {
        return std::nullopt;
    }
    PresetData moved = *items[*from].preset();
    moved.folderId = target.folderId;
    PresetList rest = items;
    rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(*from));

    Index to = rest.size();
    if (target.folderId) {
        const auto folder = indexOf(rest, *target.folderId);
        if (!folder || !rest[*folder].isFolder()) {
            return std::nullopt;
        }
        const Index end = runEnd(rest, *folder);
        to = end;
        if (target.beforeId) {
            const auto before = indexOf(rest, *target.beforeId);
            if (!before || *before <= *folder || *before >= end) {
                return std::nullopt;
            }
            to = *before;
        }
    } else if (target.beforeId) {
        const auto before = topLevelIndex(rest, *target.beforeId);
        if (!before) {
            return std::nullopt;
        }
        to = *before;
    }
    rest.insert(rest.begin() + static_cast<std::ptrdiff_t>(to), PresetItem{std::move(moved)});
    return changed(items, std::move(rest));
}

std::optional<PresetList> moveFolder(const PresetList& items, const std::string& folderId,
                                     const std::optional<std::string>& beforeId) {
    const auto from = indexOf(items, folderId);
    if (!from || !items[*from].isFolder() || beforeId == folderId) {
        return std::nullopt;
    }
    const Index end = runEnd(items, *from);
    const PresetList block(items.begin() + static_cast<std::ptrdiff_t>(*from),
                           items.begin() + static_cast<std::ptrdiff_t>(end));
    PresetList rest = items;
    rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(*from),
               rest.begin() + static_cast<std::ptrdiff_t>(end));
    Index to = rest.size();
    if (beforeId) {
        // A member of the moved folder is not in `rest`, so a folder never lands in itself.
        const auto before = topLevelIndex(rest, *beforeId);
        if (!before) {
            return std::nullopt;
        }
        to = *before;
    }
    rest.insert(rest.begin() + static_cast<std::ptrdiff_t>(to), block.begin(), block.end());
    return changed(items, std::move(rest));
}

std::optional<PresetList> moveOutOfFolder(const PresetList& items, const std::string& presetId) {
    const auto from = indexOf(items, presetId);
    if (!from || !items[*from].isPreset()) {
        return std::nullopt;
    }
    const auto owner = runOwners(items)[*from];
    if (!owner) {
        // Shown at the top level already; only the stale folder reference goes.
        PresetList result = items;
        result[*from].preset()->folderId.reset();
        return changed(items, std::move(result));
    }
    PresetData moved = *items[*from].preset();
    moved.folderId.reset();
    PresetList rest = items;
    rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(*from));
    const Index to = runEnd(rest, *owner);
    rest.insert(rest.begin() + static_cast<std::ptrdiff_t>(to), PresetItem{std::move(moved)});
    return rest;
}

std::optional<PresetList> movePresetStep(const PresetList& items, const std::string& presetId,
                                         int step) {
    const auto at = indexOf(items, presetId);
    if (!at || !items[*at].isPreset() || step == 0) {
        return std::nullopt;
    }
    const Index p = *at;
    const auto owners = runOwners(items);
    const auto idAt = [&](Index i) -> std::optional<std::string> {
        return i < items.size() ? std::optional(items[i].id()) : std::nullopt;
    };
    if (const auto owner = owners[p]) {
        const std::string folderId = items[*owner].id();
        const Index end = runEnd(items, *owner);
        if (step < 0) {
            // The first member steps out above its folder.
            return p - 1 > *owner ? movePreset(items, presetId, {folderId, idAt(p - 1)})
                                  : movePreset(items, presetId, {std::nullopt, folderId});
        }
        // The last member steps out below its folder.
        return p + 1 < end ? movePreset(items, presetId,
                                        {folderId, p + 2 < end ? idAt(p + 2) : std::nullopt})
                           : moveOutOfFolder(items, presetId);
    }
    if (step < 0) {
        if (p == 0) {
            return std::nullopt;
        }
        // Above stands either a top-level preset, or the end of a folder, which it joins.
        if (const auto above = owners[p - 1]) {
            return movePreset(items, presetId, {items[*above].id(), std::nullopt});
        }
        if (items[p - 1].isFolder()) {
            return movePreset(items, presetId, {items[p - 1].id(), std::nullopt});
        }
        return movePreset(items, presetId, {std::nullopt, idAt(p - 1)});
    }
    if (p + 1 >= items.size()) {
        return std::nullopt;
    }
    if (items[p + 1].isFolder()) {
        // Below stands a folder: the preset becomes its first member.
        const Index folder = p + 1;
        const Index end = runEnd(items, folder);
        return movePreset(items, presetId,
                          {items[folder].id(), folder + 1 < end ? idAt(folder + 1) : std::nullopt});
    }
    return movePreset(items, presetId, {std::nullopt, idAt(p + 2)});
}

AddedFolder addFolder(const PresetList& items, const std::string& baseName) {
    std::set<std::string> taken;
    for (const PresetItem& item : items) {
        if (const FolderItem* folder = item.folder()) {
            taken.insert(folder->label);
        }
    }
    std::string name = baseName;
    for (int number = 2; taken.contains(name); ++number) {
        name = baseName + " " + std::to_string(number);
    }
    AddedFolder added{items, newUuid()};
    added.items.insert(added.items.begin(),
                       PresetItem{FolderItem{"folder", added.folderId, name, true}});
    return added;
}

std::optional<PresetList> renameFolder(const PresetList& items, const std::string& folderId,
                                       const std::string& name) {
    const auto index = indexOf(items, folderId);
    if (!index || !items[*index].isFolder()) {
        return std::nullopt;
    }
    PresetList result = items;
    result[*index].folder()->label = name;
    return changed(items, std::move(result));
}

std::optional<PresetList> deletePreset(const PresetList& items, const std::string& presetId) {
    const auto index = indexOf(items, presetId);
    if (!index || !items[*index].isPreset()) {
        return std::nullopt;
    }
    PresetList result = items;
    result.erase(result.begin() + static_cast<std::ptrdiff_t>(*index));
    return result;
}

std::optional<PresetList> deleteFolder(const PresetList& items, const std::string& folderId) {
    if (folderAt(items, folderId) == nullptr) {
        return std::nullopt;
    }
    PresetList result;
    for (PresetItem item : items) {
        if (item.id() == folderId) {
            continue;
        }
        if (PresetData* preset = item.preset(); preset && preset->folderId == folderId) {
            preset->folderId.reset();
        }
        result.push_back(std::move(item));
    }
    return result;
}

std::optional<PresetList> ungroupAll(const PresetList& items) {
    PresetList result;
    for (PresetData preset : flattenPresets(items)) {
        preset.folderId.reset();
        result.push_back({std::move(preset)});
    }
    return changed(items, std::move(result));
}

}  // namespace orvex

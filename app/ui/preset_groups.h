#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/store/preset_model.h"

namespace orvex {

// What the main view draws: a preset on its own, or a folder with the presets that stand
// in its run.
struct PresetGroup {
    std::optional<FolderItem> folder;  // none: a standalone preset
    std::vector<PresetData> presets;

    bool operator==(const PresetGroup&) const = default;
};

// One pass in list order. A folder takes the presets right behind it that name it; the
// run ends at the first element that does not. Nothing is re-sorted, so a preset naming a
// folder it does not stand behind is shown at the top level.
std::vector<PresetGroup> groupPresets(const std::vector<PresetItem>& items);

// The list with the first element of `folderId` opened or closed; none when that element
// is missing or not a folder.
std::optional<std::vector<PresetItem>> withFolderToggled(std::vector<PresetItem> items,
                                                         const std::string& folderId);

// The locale key of a preset's action badge.
std::string badgeKey(const PresetData& preset);

// The locale key of an AI preset's destination text: the multiple-AI text for two or more
// destinations, the destination's name for one, none for other actions and for an
// identifier outside the table (stored identifiers are shown as they are, not migrated).
std::optional<std::string> destinationTextKey(const PresetData& preset);

}  // namespace orvex

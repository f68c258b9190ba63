#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/store/preset_model.h"

namespace orvex {

// The edits the settings screen makes to the flat preset list. Each takes the list and
// gives the new one, or none when the edit names nothing it can act on or changes nothing;
// the caller commits (and so saves) only what comes back.
//
// Placement follows the grouping the views draw: a folder holds the run of presets right
// behind it that name it. Every edit keeps such runs contiguous, so what was dropped into a
// folder is shown in it, and what was taken out of one is shown at the top level.
using PresetList = std::vector<PresetItem>;

// Where a dragged preset goes.
struct PresetTarget {
    // The folder it joins; none: the top level.
    std::optional<std::string> folderId;
    // The element it is placed before: a member of that folder, or a top-level element
    // (a folder or a standalone preset). None: at the end of the folder or of the list.
    std::optional<std::string> beforeId;
};

std::optional<PresetList> movePreset(const PresetList& items, const std::string& presetId,
                                     const PresetTarget& target);

// Moves a folder together with the presets it holds, before the top-level element
// `beforeId` (none: to the end).
std::optional<PresetList> moveFolder(const PresetList& items, const std::string& folderId,
                                     const std::optional<std::string>& beforeId);

// Takes a preset out of its folder; it stands at the top level right behind the folder.
std::optional<PresetList> moveOutOfFolder(const PresetList& items, const std::string& presetId);

// One row up (step < 0) or down (step > 0) as the list is drawn with every folder open: a
// preset crosses a folder's edge into or out of it before it passes the folder.
std::optional<PresetList> movePresetStep(const PresetList& items, const std::string& presetId,
                                         int step);

struct AddedFolder {
    PresetList items;
    std::string folderId;
};
// A new open folder first in the list, named `baseName`, or "baseName 2", "baseName 3"... when
// a folder already has that name.
AddedFolder addFolder(const PresetList& items, const std::string& baseName);

std::optional<PresetList> renameFolder(const PresetList& items, const std::string& folderId,
                                       const std::string& name);
std::optional<PresetList> deletePreset(const PresetList& items, const std::string& presetId);
// The folder goes; the presets that named it stay where they stand, at the top level.
std::optional<PresetList> deleteFolder(const PresetList& items, const std::string& folderId);
// Every folder goes; the presets stay in order at the top level.
std::optional<PresetList> ungroupAll(const PresetList& items);

}  // namespace orvex

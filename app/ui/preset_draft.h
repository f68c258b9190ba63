#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/store/preset_model.h"

namespace orvex {

// What the preset editor holds while the user edits: every field of a preset, with the
// action chosen outright rather than derived. The preset it came from is kept, so the
// fields the editor does not show survive a save.
struct PresetDraft {
    PresetData original;  // the preset as it was when editing began (blank for a new one)
    bool isNew = false;

    std::string label;
    ActionType action = ActionType::aiSend;
    std::vector<std::string> destinations;
    std::string multiDestMode = "lastUsed";
    bool useCapture = false;
    bool cutText = false;
    bool autoSend = true;
    std::string fixedPrompt;
    std::string appName;
    std::string filePath;
    std::string fileExt;
    std::string shortcut;

    bool operator==(const PresetDraft&) const = default;
};

// An existing preset to edit.
PresetDraft draftOf(const PresetData& preset);
// A new blank preset, created in `folderId` when given.
PresetDraft newDraft(std::optional<std::string> folderId = std::nullopt);

// The preset the draft describes. The fields the action type is derived from are set so
// that it derives as the chosen action; the fields of other actions keep their values.
PresetData presetOf(const PresetDraft& draft);

// The locale key of the alert that refuses the save, or none when it may be saved: an AI
// preset needs a destination, an app preset an application, a file preset a file (without
// them either would be read back as another action).
std::optional<std::string> saveRefusal(const PresetDraft& draft);

// The list with the draft saved: an existing preset is replaced where it stands; a new one
// (or one that has gone from the list meanwhile) is appended to its folder's presets, or to
// the list.
std::vector<PresetItem> withDraftSaved(const std::vector<PresetItem>& items,
                                       const PresetDraft& draft);

// The destinations with `destination` added (last, as sends follow the order it was
// chosen in) or removed.
std::vector<std::string> withDestination(const std::vector<std::string>& destinations,
                                         const std::string& destination, bool chosen);

// The label of another preset in `items` whose shortcut is the same key combination on this
// desktop, or none.
std::optional<std::string> shortcutTakenBy(const std::vector<PresetItem>& items,
                                           const std::string& presetId,
                                           const std::string& shortcut);

}  // namespace orvex

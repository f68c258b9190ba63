#include "app/ui/preset_draft.h"

#include <algorithm>

#include "app/execution/ai_destination.h"
#include "app/shortcuts/shortcut_strings.h"
#include "app/shortcuts/x11_key_map.h"
#include "app/ui/preset_list_edits.h"

namespace orvex {
namespace {

// The same grab on this desktop: Command and Control are one key here.
bool sameCombination(const std::string& a, const std::string& b) {
    const auto parsedA = parseShortcut(a);
    const auto parsedB = parseShortcut(b);
    if (!parsedA || !parsedB) {
        return a == b;
    }
    return parsedA->keyCode == parsedB->keyCode &&
           x11ModifiersFor(parsedA->modifiers) == x11ModifiersFor(parsedB->modifiers);
}

}  // namespace

PresetDraft draftOf(const PresetData& preset) {
    PresetDraft draft;
    draft.original = preset;
    draft.label = preset.label;
    draft.action = actionType(preset);
    draft.destinations = normalizedDestinations(preset);
    draft.multiDestMode = preset.multiDestMode;
    draft.useCapture = preset.useCapture;
    draft.cutText = preset.cutText;
    draft.autoSend = preset.autoSend;
    draft.fixedPrompt = preset.fixedPrompt;
    draft.appName = preset.appName;
    draft.filePath = preset.filePath;
    draft.fileExt = preset.fileExt;
    draft.shortcut = preset.shortcut;
    return draft;
}

PresetDraft newDraft(std::optional<std::string> folderId) {
    PresetData blank = newBlankPreset();
    blank.folderId = std::move(folderId);
    PresetDraft draft = draftOf(blank);
    draft.isNew = true;
    return draft;
}

PresetData presetOf(const PresetDraft& draft) {
    PresetData preset = draft.original;
    preset.label = draft.label;
    preset.shortcut = draft.shortcut;
    preset.destinations = draft.destinations;
    if (!draft.destinations.empty()) {
        preset.destination = draft.destinations.front();
    }
    preset.multiDestMode = draft.multiDestMode;
    preset.useCapture = draft.useCapture;
    preset.cutText = draft.cutText;
    preset.autoSend = draft.autoSend;
    preset.fixedPrompt = draft.fixedPrompt;
    preset.mode = "selection";
    preset.appName = draft.appName;
    preset.filePath = draft.filePath;
    preset.fileExt = draft.fileExt;
    // The action is never stored: createFile wins over appName, appName over filePath.
    preset.createFile = draft.action == ActionType::createFile;
    switch (draft.action) {
        case ActionType::aiSend:
            preset.appName.clear();
            preset.filePath.clear();
            break;
        case ActionType::openFile:
            preset.appName.clear();
            break;
        case ActionType::activateApp:
        case ActionType::createFile:
            break;
    }
    return preset;
}

std::optional<std::string> saveRefusal(const PresetDraft& draft) {
    switch (draft.action) {
        case ActionType::aiSend:
            if (draft.destinations.empty()) {
                return "dialog.noDestination";
            }
            break;
        case ActionType::activateApp:
            if (draft.appName.empty()) {
                return "dialog.noApplication";
            }
            break;
        case ActionType::openFile:
            if (draft.filePath.empty()) {
                return "dialog.noFile";
            }
            break;
        case ActionType::createFile:
            break;
    }
    return std::nullopt;
}

std::vector<PresetItem> withDraftSaved(const std::vector<PresetItem>& items,
                                       const PresetDraft& draft) {
    PresetData preset = presetOf(draft);
    std::vector<PresetItem> result = items;
    const auto existing = std::ranges::find_if(
        result, [&](const PresetItem& item) { return item.id() == preset.id; });
    if (existing != result.end() && existing->isPreset()) {
        // The list may have moved it meanwhile; where it stands now wins.
        preset.folderId = existing->preset()->folderId;
        *existing = PresetItem{std::move(preset)};
        return result;
    }
    const std::optional<std::string> folderId = std::move(preset.folderId);
    preset.folderId.reset();
    const std::string id = preset.id;
    result.push_back(PresetItem{std::move(preset)});
    // Into its folder as the last of its presets; at the top level when the folder is gone.
    if (folderId) {
        if (auto moved = movePreset(result, id, {folderId, std::nullopt})) {
            return *moved;
        }
    }
    return result;
}

std::vector<std::string> withDestination(const std::vector<std::string>& destinations,
                                         const std::string& destination, bool chosen) {
    std::vector<std::string> result = destinations;
    std::erase(result, destination);
    if (chosen) {
        result.push_back(destination);
    }
    return result;
}

std::optional<std::string> shortcutTakenBy(const std::vector<PresetItem>& items,
                                           const std::string& presetId,
                                           const std::string& shortcut) {
    if (shortcut.empty()) {
        return std::nullopt;
    }
    for (const PresetData& other : flattenPresets(items)) {
        if (other.id != presetId && !other.shortcut.empty() &&
            sameCombination(other.shortcut, shortcut)) {
            return other.label;
        }
    }
    return std::nullopt;
}

}  // namespace orvex

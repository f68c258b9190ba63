#include "app/commands/organize_into_folders.h"

#include "app/i18n/localization_manager.h"
#include "app/store/app_state.h"
#include "base/uuid.h"

namespace orvex {

GroupNames groupNames(const LocalizationManager& i18n) {
    return GroupNames{
        .noShortcut = i18n.text("groupNames.noShortcut"),
        .ai = i18n.text("groupNames.ai"),
        .activateApp = i18n.text("groupNames.activateApp"),
        .openFile = i18n.text("groupNames.openFile"),
        .createFile = i18n.text("groupNames.createFile"),
    };
}

namespace {

void appendGroup(std::vector<PresetItem>& out, const std::vector<PresetData>& members,
                 const std::string& label, bool open) {
    if (members.empty()) {
        return;
    }
    FolderItem folder;
    folder.id = newUuid();
    folder.label = label;
    folder.open = open;
    out.push_back(PresetItem{folder});
    for (PresetData preset : members) {
        preset.folderId = folder.id;
        out.push_back(PresetItem{std::move(preset)});
    }
}

}  // namespace

std::vector<PresetItem> organizedIntoFolders(const std::vector<PresetItem>& items,
                                             const GroupNames& names) {
    // A shortcut of spaces is still a shortcut: only the empty string means none.
    std::vector<PresetData> withoutShortcut;
    std::vector<PresetData> withShortcut;
    for (PresetData& preset : flattenPresets(items)) {
        (preset.shortcut.empty() ? withoutShortcut : withShortcut).push_back(std::move(preset));
    }

    std::vector<PresetItem> organized;
    appendGroup(organized, withoutShortcut, names.noShortcut, true);

    const std::pair<ActionType, const std::string*> typedGroups[] = {
        {ActionType::aiSend, &names.ai},
        {ActionType::activateApp, &names.activateApp},
        {ActionType::openFile, &names.openFile},
        {ActionType::createFile, &names.createFile},
    };
    for (const auto& [type, label] : typedGroups) {
        std::vector<PresetData> members;
        for (const PresetData& preset : withShortcut) {
            if (actionType(preset) == type) {
                members.push_back(preset);
            }
        }
        appendGroup(organized, members, *label, false);
    }
    return organized;
}

SaveResult organizeIntoFolders(AppState& state, const LocalizationManager& i18n) {
    return state.commitPresets(organizedIntoFolders(state.presets(), groupNames(i18n)));
}

}  // namespace orvex

#pragma once

#include <string>
#include <vector>

#include "app/store/preset_model.h"
#include "app/store/settings_manager.h"

namespace orvex {

class AppState;
class LocalizationManager;

// The labels of the folders a regrouping creates, in the language of the moment.
struct GroupNames {
    std::string noShortcut;
    std::string ai;
    std::string activateApp;
    std::string openFile;
    std::string createFile;
};

GroupNames groupNames(const LocalizationManager& i18n);

// The presets of `items` regrouped into new folders: first those without a shortcut (an
// open folder), then those with one by action type (AI send, activate app, open file,
// create file; closed folders). Old folders are dropped, empty groups get no folder, the
// order inside each group is kept and every new folder gets a fresh id.
std::vector<PresetItem> organizedIntoFolders(const std::vector<PresetItem>& items,
                                             const GroupNames& names);

// Regroups the state's list and saves it. Shared by "folder.organize" and the preset
// list of the main window.
SaveResult organizeIntoFolders(AppState& state, const LocalizationManager& i18n);

}  // namespace orvex

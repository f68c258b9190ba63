#include "app/commands/folder_commands.h"

#include <algorithm>

#include "app/commands/command_params.h"
#include "app/commands/command_reply.h"
#include "app/commands/organize_into_folders.h"
#include "app/i18n/localization_manager.h"
#include "app/store/app_state.h"
#include "base/uuid.h"

namespace orvex {

void folderCreate(const CommandServices& services, const CLICommand& command,
                  const CommandReply& reply) {
    const std::string* given = findParam(command.params, "name");
    const std::string name = given ? *given : services.i18n.text("settings.newGroup");

    FolderItem folder;
    folder.id = newUuid();
    folder.label = name;
    folder.open = true;
    std::vector<PresetItem> items = services.state.presets();
    items.insert(items.begin(), PresetItem{std::move(folder)});
    if (saved(services.state.commitPresets(std::move(items)), reply)) {
        reply.succeedWithMessage("Folder created: " + name);
    }
}

void folderRename(const CommandServices& services, const CLICommand& command,
                  const CommandReply& reply) {
    const std::string* id = findParam(command.params, "id");
    const std::string* name = findParam(command.params, "name");
    if (!id || !name) {
        return reply.fail("Missing params: id, name");
    }
    std::vector<PresetItem> items = services.state.presets();
    auto found = std::find_if(items.begin(), items.end(),
                              [id](const PresetItem& item) { return item.id() == *id; });
    if (found == items.end() || !found->isFolder()) {
        return reply.fail("Folder not found: " + *id);
    }
    found->folder()->label = *name;
    if (saved(services.state.commitPresets(std::move(items)), reply)) {
        reply.succeedWithMessage("Renamed to: " + *name);
    }
}

void folderDelete(const CommandServices& services, const CLICommand& command,
                  const CommandReply& reply) {
    const std::string* id = findParam(command.params, "id");
    if (!id) {
        return reply.fail("Missing param: id");
    }
    std::vector<PresetItem> items = services.state.presets();
    // Its presets move to the top level where they stand.
    for (PresetItem& item : items) {
        if (PresetData* preset = item.preset(); preset && preset->folderId == *id) {
            preset->folderId.reset();
        }
    }
    std::erase_if(items, [id](const PresetItem& item) { return item.id() == *id; });
    if (saved(services.state.commitPresets(std::move(items)), reply)) {
        reply.succeedWithMessage("Folder deleted");
    }
}

void folderOrganize(const CommandServices& services, const CLICommand&, const CommandReply& reply) {
    if (saved(organizeIntoFolders(services.state, services.i18n), reply)) {
        reply.succeedWithMessage("Organized");
    }
}

void folderUngroup(const CommandServices& services, const CLICommand&, const CommandReply& reply) {
    std::vector<PresetItem> items;
    for (PresetData& preset : flattenPresets(services.state.presets())) {
        preset.folderId.reset();
        items.push_back(PresetItem{std::move(preset)});
    }
    if (saved(services.state.commitPresets(std::move(items)), reply)) {
        reply.succeedWithMessage("Ungrouped");
    }
}

}  // namespace orvex

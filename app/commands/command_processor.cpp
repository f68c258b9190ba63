#include "app/commands/command_processor.h"

#include "app/commands/app_status.h"
#include "app/commands/command_reply.h"
#include "app/commands/debug_commands.h"
#include "app/commands/folder_commands.h"
#include "app/commands/preset_commands.h"
#include "app/commands/settings_commands.h"
#include "app/commands/window_view_commands.h"
#include "base/log.h"

namespace orvex {

CommandProcessor::CommandProcessor(CommandServices services)
    : services_(std::move(services)),
      handlers_{
          {"preset.list", presetList},
          {"preset.get", presetGet},
          {"preset.create", presetCreate},
          {"preset.update", presetUpdate},
          {"preset.delete", presetDelete},
          {"preset.execute", presetExecute},
          {"folder.create", folderCreate},
          {"folder.rename", folderRename},
          {"folder.delete", folderDelete},
          {"folder.organize", folderOrganize},
          {"folder.ungroup", folderUngroup},
          {"settings.export", settingsExport},
          {"settings.import", settingsImport},
          {"settings.reset", settingsReset},
          {"settings.language", settingsLanguage},
          {"window.show", windowShow},
          {"window.hide", windowHide},
          {"window.toggle-pin", windowTogglePin},
          {"view.settings", viewSettings},
          {"view.settings.edit", viewSettingsEdit},
          {"view.main", viewMain},
          {"app.status", appStatusCommand},
          {"help.show", helpShow},
          {"debug.ax-read", debugAxRead},
          {"debug.ax-select-all", debugAxSelectAll},
          {"debug.cgevent-copy", debugCgeventCopy},
          {"debug.activate-app", debugActivateApp},
          {"debug.pick-input", debugPickInput},
      } {}

void CommandProcessor::process(const CLICommand& command, CommandCompletion completion) {
    log::system("[CommandProcessor] action: " + command.action);
    const CommandReply reply(command.id, std::move(completion));
    auto handler = handlers_.find(command.action);
    if (handler == handlers_.end()) {
        return reply.fail("Unknown action: " + command.action);
    }
    handler->second(services_, command, reply);
}

bool CommandProcessor::knows(std::string_view action) const {
    return handlers_.find(action) != handlers_.end();
}

}  // namespace orvex

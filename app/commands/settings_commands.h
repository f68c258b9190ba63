#pragma once

#include "app/commands/command_processor.h"
#include "app/commands/command_reply.h"

namespace orvex {

// "settings.export", "settings.import", "settings.reset" and "settings.language". No
// dialogs and no confirmation; views bound to the state show a replaced list by themselves.
void settingsExport(const CommandServices& services, const CLICommand& command,
                    const CommandReply& reply);
void settingsImport(const CommandServices& services, const CLICommand& command,
                    const CommandReply& reply);
void settingsReset(const CommandServices& services, const CLICommand& command,
                   const CommandReply& reply);
void settingsLanguage(const CommandServices& services, const CLICommand& command,
                      const CommandReply& reply);

}  // namespace orvex

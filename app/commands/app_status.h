#pragma once

#include "app/commands/command_processor.h"
#include "app/commands/command_reply.h"
#include "protocol/cli_records.h"

namespace orvex {

// The application's status as "app.status" reports it: the language in use, presets and
// folders counted separately, and the always-on-top flag (the command adds what it knows
// of the desktop).
CLIAppStatus appStatus(const AppState& state, const LocalizationManager& i18n);

void appStatusCommand(const CommandServices& services, const CLICommand& command,
                      const CommandReply& reply);

}  // namespace orvex

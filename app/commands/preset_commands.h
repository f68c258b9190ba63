#pragma once

#include "app/commands/command_processor.h"
#include "app/commands/command_reply.h"

namespace orvex {

// "preset.list", "preset.get", "preset.create", "preset.update", "preset.delete" and
// "preset.execute". Every change of the list is saved (and the hot keys re-registered)
// before the answer.
void presetList(const CommandServices& services, const CLICommand& command,
                const CommandReply& reply);
void presetGet(const CommandServices& services, const CLICommand& command,
               const CommandReply& reply);
void presetCreate(const CommandServices& services, const CLICommand& command,
                  const CommandReply& reply);
void presetUpdate(const CommandServices& services, const CLICommand& command,
                  const CommandReply& reply);
void presetDelete(const CommandServices& services, const CLICommand& command,
                  const CommandReply& reply);
// Answers after the run, from the thread the runner finishes on.
void presetExecute(const CommandServices& services, const CLICommand& command,
                   const CommandReply& reply);

}  // namespace orvex

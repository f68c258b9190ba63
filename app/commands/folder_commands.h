#pragma once

#include "app/commands/command_processor.h"
#include "app/commands/command_reply.h"

namespace orvex {

// "folder.create", "folder.rename", "folder.delete", "folder.organize" and
// "folder.ungroup". Every change of the list is saved before the answer.
void folderCreate(const CommandServices& services, const CLICommand& command,
                  const CommandReply& reply);
void folderRename(const CommandServices& services, const CLICommand& command,
                  const CommandReply& reply);
void folderDelete(const CommandServices& services, const CLICommand& command,
                  const CommandReply& reply);
void folderOrganize(const CommandServices& services, const CLICommand& command,
                    const CommandReply& reply);
void folderUngroup(const CommandServices& services, const CLICommand& command,
                   const CommandReply& reply);

}  // namespace orvex

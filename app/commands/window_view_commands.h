#pragma once

#include <chrono>

#include "app/commands/command_processor.h"
#include "app/commands/command_reply.h"

namespace orvex {

// How long "view.settings.edit" waits before telling the settings screen which preset to
// edit, so that the screen is up by then.
inline constexpr std::chrono::milliseconds kEditPresetDelay{100};

// "window.show", "window.hide", "window.toggle-pin", "view.settings", "view.settings.edit",
// "view.main" and "help.show". Each posts its notifications in order and answers from the
// main queue right after they have been delivered, so the observers' effects (the pin
// state, the window) are in place when the answer is built.
void windowShow(const CommandServices& services, const CLICommand& command,
                const CommandReply& reply);
void windowHide(const CommandServices& services, const CLICommand& command,
                const CommandReply& reply);
void windowTogglePin(const CommandServices& services, const CLICommand& command,
                     const CommandReply& reply);
void viewSettings(const CommandServices& services, const CLICommand& command,
                  const CommandReply& reply);
void viewSettingsEdit(const CommandServices& services, const CLICommand& command,
                      const CommandReply& reply);
void viewMain(const CommandServices& services, const CLICommand& command,
              const CommandReply& reply);
void helpShow(const CommandServices& services, const CLICommand& command,
              const CommandReply& reply);

}  // namespace orvex

#pragma once

#include <chrono>

#include "app/commands/command_processor.h"
#include "app/commands/command_reply.h"

namespace orvex {

// The failure every diagnostic action answers when Orvex runs without a desktop session.
inline constexpr const char* kNoDesktopSession = "No desktop session is available";
// Pause between the keystrokes (or the activation) and reading back their effect.
inline constexpr std::chrono::milliseconds kDebugSettleDelay{500};
// The application "debug.activate-app" brings forward when no bundleId is given.
inline constexpr const char* kDefaultDebugBundleId = "com.openai.codex";

// The diagnostic actions: they look at (and for ax-select-all and cgevent-copy, act on)
// the frontmost application through the desktop layer, and change no preset or setting.
void debugAxRead(const CommandServices& services, const CLICommand& command,
                 const CommandReply& reply);
void debugAxSelectAll(const CommandServices& services, const CLICommand& command,
                      const CommandReply& reply);
// Answers from the main queue once the script has run and 0.5 s have passed.
void debugCgeventCopy(const CommandServices& services, const CLICommand& command,
                      const CommandReply& reply);
// Answers from the main queue 0.5 s after the activation request.
void debugActivateApp(const CommandServices& services, const CLICommand& command,
                      const CommandReply& reply);
// Runs the input finder tool on a task and answers from the main queue with its report.
void debugPickInput(const CommandServices& services, const CLICommand& command,
                    const CommandReply& reply);

}  // namespace orvex

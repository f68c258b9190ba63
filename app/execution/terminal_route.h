#pragma once

#include <string>

#include "app/execution/execution_context.h"

namespace orvex {

// The Terminal route: opens Terminal when it has no window, puts the text on the
// pasteboard and pastes it into the front window (Return with `autoSend`). Launch and
// script failures are thrown.
void sendToTerminal(const ExecutionContext& context, const std::string& text, bool autoSend);

// Launches (or reopens) the application of that name with activation and waits for the
// workspace's answer. Where applications of a name live is the desktop's business. Throws
// AppNotFoundError with the name when there is none, LaunchError when the launch fails.
void launchAppByName(const ExecutionContext& context, const std::string& name);

}  // namespace orvex

#pragma once

#include <string>

#include "app/execution/execution_context.h"

namespace orvex {

// Whether a native application can take a paste right away.
enum class AppReadiness {
    notRunning,  // no instance runs (or the first found has quit)
    noWindows,   // runs, and its accessibility window list is empty
    ready,       // runs with a window, or its window list cannot be read
};
// "not_running", "no_windows", "ready".
const char* toString(AppReadiness readiness);

AppReadiness appReadiness(const ExecutionContext& context, const std::string& bundleId);

// Launches the installed application with activation and waits for the workspace's
// answer. Throws AppNotFoundError when it is not installed, LaunchError when the workspace
// refuses.
void launchApp(const ExecutionContext& context, const std::string& bundleId);

// Makes sure the application runs with a window and is in front. One that had to be
// started (or had no window) gets a new chat (Command-N); one already up keeps its chat.
void openApp(const ExecutionContext& context, const std::string& bundleId);

// The app route for a text: status "status.sending", text on the pasteboard, the app
// opened, its message input focused, then pasted (and sent with `autoSend`). Throws
// SendError when no input can be focused; launch and script failures pass through.
void sendToApp(const ExecutionContext& context, const std::string& text,
               const std::string& bundleId, bool autoSend);

// The app route for an image already on the pasteboard: the app opened and its input
// focused; the paste is the caller's. Throws as sendToApp does.
void prepareAppForCapture(const ExecutionContext& context, const std::string& bundleId);

}  // namespace orvex

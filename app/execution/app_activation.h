#pragma once

#include <string>

#include "desktop/desktop.h"

namespace orvex {

// Activates the first running application with the bundle identifier, ahead of every
// other application; nothing when none runs. True when an activation was requested and
// accepted.
bool activateRunning(Desktop& desktop, const std::string& bundleId);

// Brings an application forward ahead of every other: the first running instance of its
// bundle identifier, or the application itself when it has none.
void bringAppForward(Desktop& desktop, const RunningApplicationRef& app);

// Opens (launches or reopens) the application at `path` with activation and waits for the
// workspace's answer; a refusal is thrown as LaunchError with the workspace's message.
void openApplicationAndWait(Desktop& desktop, const std::string& path);

// Empties the pasteboard and puts `text` on it.
void putTextOnPasteboard(Desktop& desktop, const std::string& text);

}  // namespace orvex

#pragma once

#include <optional>
#include <string>
#include <vector>

#include "desktop/desktop.h"

namespace orvex {

// One run of the input-finder tool.
struct InputaimResult {
    // The tool exited with status 0.
    bool ok = false;
    // Standard output and error as UTF-8, trimmed; "" when not valid UTF-8.
    std::string output;
    std::string errorOutput;
};

// The text that starts errorOutput when the tool could not be started.
inline constexpr const char* kInputaimLaunchFailure = "inputaim を実行できません: ";

// Where the tool is: the path the desktop gives for the shipped tool, else inside this
// application's own bundle ("<application>/Contents/Resources/inputaim").
std::string inputaimPath(Desktop& desktop);

// Runs the tool with `arguments` and blocks until it exits. Both pipes are drained while
// it runs (the desktop's process runner does that), so a chatty tool never stalls.
InputaimResult runInputaim(Desktop& desktop, const std::vector<std::string>& arguments);

// The arguments: optional "--app" <bundleId>, then "--hint" <hint> when the hint is not
// empty; for the list mode, "--list" first.
std::vector<std::string> inputaimArguments(bool list, const std::optional<std::string>& bundleId,
                                           const std::optional<std::string>& hint);

// Focuses the most likely text input of the application (the frontmost one without a
// bundle identifier); true on success.
bool inputaimFocus(Desktop& desktop, const std::optional<std::string>& bundleId,
                   const std::optional<std::string>& hint);

// The tool's report of the candidate inputs: its output, or its error output when the
// output is empty.
std::string inputaimList(Desktop& desktop, const std::optional<std::string>& bundleId,
                         const std::optional<std::string>& hint);

}  // namespace orvex

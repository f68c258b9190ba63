#pragma once

// Scenario files: a JSON description of a desktop's starting state (applications, windows,
// trees, tabs, folders, permissions, pasteboard, ...). The format is documented in
// desktop/sim/README.md.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "base/json.h"
#include "desktop/sim/sim_desktop.h"

namespace orvex {

// Sets a fresh desktop up as `scenario` describes. Relative "home" and "temporaryDirectory"
// are taken inside `baseDirectory`; paths starting with "~/" are taken inside the home.
// The home, the temporary directory, the folders shown by file-manager windows inside the
// home, and the scenario's "files" are created on disk. Nothing is journaled.
// The whole scenario is checked before anything changes: on an error (a message naming the
// offending place, such as `applications[1].windows[0]: unknown key "titel"`) the desktop is
// left as it was.
std::optional<std::string> applyScenario(SimDesktop& desktop, const Json& scenario,
                                         const std::filesystem::path& baseDirectory);
std::optional<std::string> applyScenarioText(SimDesktop& desktop, std::string_view text,
                                             const std::filesystem::path& baseDirectory);
std::optional<std::string> applyScenarioFile(SimDesktop& desktop, const std::filesystem::path& file,
                                             const std::filesystem::path& baseDirectory);

}  // namespace orvex

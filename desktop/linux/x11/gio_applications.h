#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvex::linux_desktop {

// Installed applications are desktop entries; a bundle identifier is an entry's id.

// The desktop file of the entry with this id; nothing when it is not installed (or hidden).
std::optional<std::string> desktopFileForId(const std::string& id);
// The desktop file of the first entry whose Name (plain or in the user's language) is
// `name`; nothing when none is.
std::optional<std::string> desktopFileForName(const std::string& name);

// The names of the entries a launcher menu shows (not NoDisplay), in the user's language,
// sorted, each once: the names desktopFileForName finds.
std::vector<std::string> applicationNames();

struct LaunchOutcome {
    // The started process; 0 when the launch gave none (an application started over D-Bus).
    std::int32_t pid = 0;
    std::optional<std::string> error;
};

// Starts the application of a desktop file, without documents.
LaunchOutcome launchDesktopFile(const std::string& path);
// Starts a program with no arguments, detached from this process.
LaunchOutcome launchExecutable(const std::string& path);

}  // namespace orvex::linux_desktop

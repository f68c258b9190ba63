#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace orvex {

// Where Orvex keeps its files. The app and orvex-cli both resolve it here, so they always
// name the same command directory.
struct AppPaths {
    std::filesystem::path orvexDirectory;  // $XDG_CONFIG_HOME/orvex, else ~/.config/orvex

    std::filesystem::path settingsFile() const { return orvexDirectory / "settings.json"; }
    std::filesystem::path commandDirectory() const { return orvexDirectory / "commands"; }
};

struct AppPathsResult {
    std::optional<AppPaths> paths;
    std::string error;  // why no directory could be had, for the user
};

// Resolves the directory from the environment and creates it (mode 0700) if missing.
// A relative XDG_CONFIG_HOME is ignored, as the XDG rules say. With neither it nor a
// usable HOME there is no safe place to write, so this fails instead of guessing.
AppPathsResult resolveAppPaths();

// Creates `directory` and its missing parents with mode 0700; true if it exists afterwards.
bool createPrivateDirectory(const std::filesystem::path& directory, std::string* error);

}  // namespace orvex

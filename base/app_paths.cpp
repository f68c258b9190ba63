#include "base/app_paths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace orvex {

bool createPrivateDirectory(const std::filesystem::path& directory, std::string* error) {
    std::filesystem::path partial;
    for (const auto& piece : directory) {
        partial /= piece;
        if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) {
            if (error) {
                *error =
                    "Cannot create directory " + partial.string() + ": " + std::strerror(errno);
            }
            return false;
        }
    }
    struct stat info {};
    if (::stat(directory.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        if (error) {
            *error = directory.string() + " is not a directory";
        }
        return false;
    }
    return true;
}

AppPathsResult resolveAppPaths() {
    AppPathsResult result;
    std::filesystem::path config;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg && xdg[0] == '/') {
        config = xdg;
    } else {
        const char* home = std::getenv("HOME");
        std::string homeDir = home && *home ? home : "";
        if (homeDir.empty()) {
            if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) {
                homeDir = entry->pw_dir;
            }
        }
        if (homeDir.empty() || homeDir[0] != '/') {
            result.error =
                "No home directory: set HOME or XDG_CONFIG_HOME to an absolute path so Orvex "
                "knows where to keep its settings";
            return result;
        }
        config = std::filesystem::path(homeDir) / ".config";
    }
    AppPaths paths{config / "orvex"};
    std::string error;
    if (!createPrivateDirectory(paths.orvexDirectory, &error)) {
        result.error = error;
        return result;
    }
    result.paths = paths;
    return result;
}

}  // namespace orvex

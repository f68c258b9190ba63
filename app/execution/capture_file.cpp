#include "app/execution/capture_file.h"

#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

namespace orvex {

namespace {

std::string join(const std::string& folder, const std::string& name) {
    return (std::filesystem::path(folder) / name).string();
}

// Makes the directory (mode 0700) when it is missing, then checks that it is private.
bool ensurePrivateDirectory(const std::string& path, std::string& reason) {
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        reason = path + ": " + std::strerror(errno);
        return false;
    }
    struct stat info {};
    // lstat: a symbolic link planted under the name must not lead us elsewhere.
    if (::lstat(path.c_str(), &info) != 0) {
        reason = path + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        reason = path + ": not a directory";
        return false;
    }
    if (info.st_uid != ::geteuid()) {
        reason = path + ": owned by another user";
        return false;
    }
    if ((info.st_mode & 077) != 0 && ::chmod(path.c_str(), 0700) != 0) {
        reason = path + ": cannot be made private";
        return false;
    }
    return true;
}

}  // namespace

std::optional<std::string> sessionRuntimeDirectory() {
    const char* value = std::getenv("XDG_RUNTIME_DIR");
    if (!value || value[0] != '/') {
        return std::nullopt;
    }
    return std::string(value);
}

CaptureDirectories::~CaptureDirectories() {
    if (fresh_) {
        std::error_code ignored;
        std::filesystem::remove_all(*fresh_, ignored);
    }
}

std::optional<std::string> CaptureDirectories::privateDirectory(
    const std::optional<std::string>& runtimeDirectory, const std::string& temporaryDirectory,
    std::string* error) {
    std::vector<std::string> reasons;
    std::string reason;
    if (runtimeDirectory && !runtimeDirectory->empty()) {
        std::string candidate = join(*runtimeDirectory, "orvex");
        if (ensurePrivateDirectory(candidate, reason)) {
            return candidate;
        }
        reasons.push_back(reason);
    }
    std::string perUser = join(temporaryDirectory, "orvex-" + std::to_string(::geteuid()));
    if (ensurePrivateDirectory(perUser, reason)) {
        return perUser;
    }
    reasons.push_back(reason);
    // Someone else holds the per-user name: a directory with a random name is ours alone.
    std::lock_guard lock(mutex_);
    if (fresh_ && ensurePrivateDirectory(*fresh_, reason)) {
        return fresh_;
    }
    std::string pattern = join(temporaryDirectory, "orvex-XXXXXX");
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data())) {
        if (fresh_) {
            std::error_code ignored;
            std::filesystem::remove_all(*fresh_, ignored);
        }
        fresh_ = std::string(buffer.data());
        return fresh_;
    }
    reasons.push_back(pattern + ": " + std::strerror(errno));
    if (error) {
        error->clear();
        for (const std::string& r : reasons) {
            *error += (error->empty() ? "" : "; ") + r;
        }
    }
    return std::nullopt;
}

std::string captureFilePath(const std::string& directory,
                            std::chrono::system_clock::time_point now) {
    auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
    return join(directory, "orvex-capture-" + std::to_string(milliseconds) + ".png");
}

}  // namespace orvex

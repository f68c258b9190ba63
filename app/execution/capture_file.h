#pragma once

#include <chrono>
#include <mutex>
#include <optional>
#include <string>

namespace orvex {

// The capture files' directory: private to this user, so that no other account can plant
// a file or a symbolic link under the predictable capture name. It is "orvex" inside the
// session's runtime directory when given and usable, else "orvex-<uid>" inside the
// temporary directory, else a freshly made "orvex-XXXXXX" there. A directory is used only
// when it is a real directory (not a link), owned by this user, with no access for group
// or others (it is created with mode 0700).
//
// The fresh directory is made once and reused by every later capture; it goes, with what
// is in it, when this object does (the application owns one for its whole life).
class CaptureDirectories {
  public:
    CaptureDirectories() = default;
    ~CaptureDirectories();
    CaptureDirectories(const CaptureDirectories&) = delete;
    CaptureDirectories& operator=(const CaptureDirectories&) = delete;

    // None when no such directory can be had; `error` then says why. Any thread.
    std::optional<std::string> privateDirectory(const std::optional<std::string>& runtimeDirectory,
                                                const std::string& temporaryDirectory,
                                                std::string* error = nullptr);

  private:
    std::mutex mutex_;
    std::optional<std::string> fresh_;
};

// "<directory>/orvex-capture-<milliseconds since 1970>.png".
std::string captureFilePath(const std::string& directory,
                            std::chrono::system_clock::time_point now);

// The session's runtime directory ($XDG_RUNTIME_DIR) when it is set and absolute.
std::optional<std::string> sessionRuntimeDirectory();

}  // namespace orvex

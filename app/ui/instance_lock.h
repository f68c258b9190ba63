#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace orvex {

// Keeps a second Orvex away from a settings directory that one already uses: two would
// race over the same command files and overwrite each other's settings. The lock is an
// advisory flock on a file in that directory, held for the life of the process and dropped
// by the kernel however the process ends, so a crash never leaves a stale lock behind.
class InstanceLock {
  public:
    static constexpr const char* kFileName = "orvex.lock";

    struct Result {
        std::unique_ptr<InstanceLock> lock;  // set when this process now holds the lock
        bool heldByAnother = false;
        std::string error;  // why the lock could not be had
    };

    static Result acquire(const std::filesystem::path& directory);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    const std::filesystem::path& path() const { return path_; }

  private:
    InstanceLock(int fd, std::filesystem::path path);

    int fd_;
    std::filesystem::path path_;
};

}  // namespace orvex

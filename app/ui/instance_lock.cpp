#include "app/ui/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace orvex {

InstanceLock::Result InstanceLock::acquire(const std::filesystem::path& directory) {
    Result result;
    auto path = directory / kFileName;
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        result.error = "Cannot open " + path.string() + ": " + std::strerror(errno);
        return result;
    }
    int status;
    do {
        status = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (status != 0 && errno == EINTR);
    if (status != 0) {
        if (errno == EWOULDBLOCK) {
            result.heldByAnother = true;
            result.error = "Another Orvex is already running for " + directory.string() +
                           " (it holds " + path.string() + ")";
        } else {
            result.error = "Cannot lock " + path.string() + ": " + std::strerror(errno);
        }
        ::close(fd);
        return result;
    }
    // The process id, for a person wondering which process holds the lock.
    std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd, 0) == 0) {
        [[maybe_unused]] auto written = ::pwrite(fd, pid.data(), pid.size(), 0);
    }
    result.lock.reset(new InstanceLock(fd, std::move(path)));
    return result;
}

InstanceLock::InstanceLock(int fd, std::filesystem::path path) : fd_(fd), path_(std::move(path)) {}

InstanceLock::~InstanceLock() {
    ::close(fd_);
}

}  // namespace orvex

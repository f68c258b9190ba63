#include "app/commands/directory_watcher.h"

#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace orvex {
namespace {

// Entries that may be complete: a file moved into place (the atomic writers' rename),
// closed after writing, or created, which is all a hard link (link()) ever reports. A file
// written in place is still empty when it is created; the queue leaves empty files for
// their writer's close. Removals need no scan.
// A link in the directory's place is not followed.
constexpr std::uint32_t kWatchedEvents =
    IN_MOVED_TO | IN_CLOSE_WRITE | IN_CREATE | IN_ONLYDIR | IN_DONT_FOLLOW;

}  // namespace

std::unique_ptr<DirectoryWatcher> DirectoryWatcher::open(const std::filesystem::path& directory,
                                                         std::string* error) {
    int inotifyFd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotifyFd < 0) {
        if (error) {
            *error = std::string("inotify_init1: ") + std::strerror(errno);
        }
        return nullptr;
    }
    if (::inotify_add_watch(inotifyFd, directory.c_str(), kWatchedEvents) < 0) {
        if (error) {
            *error = "Cannot watch " + directory.string() + ": " + std::strerror(errno);
        }
        ::close(inotifyFd);
        return nullptr;
    }
    int stopFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (stopFd < 0) {
        if (error) {
            *error = std::string("eventfd: ") + std::strerror(errno);
        }
        ::close(inotifyFd);
        return nullptr;
    }
    return std::unique_ptr<DirectoryWatcher>(new DirectoryWatcher(inotifyFd, stopFd));
}

DirectoryWatcher::DirectoryWatcher(int inotifyFd, int stopFd)
    : inotifyFd_(inotifyFd), stopFd_(stopFd) {}

DirectoryWatcher::~DirectoryWatcher() {
    if (thread_.joinable()) {
        std::uint64_t one = 1;
        while (::write(stopFd_, &one, sizeof one) < 0 && errno == EINTR) {
        }
        thread_.join();
    }
    ::close(stopFd_);
    ::close(inotifyFd_);
}

void DirectoryWatcher::start(Callback onChange, const std::string& threadName) {
    onChange_ = std::move(onChange);
    thread_ = std::thread([this, threadName] { run(threadName); });
}

bool DirectoryWatcher::drainEvents(bool* watchGone) {
    alignas(inotify_event) char buffer[8192];
    bool any = false;
    for (;;) {
        ssize_t n = ::read(inotifyFd_, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return any;  // EAGAIN: the queue is empty
        }
        if (n == 0) {
            return any;
        }
        any = true;
        for (ssize_t offset = 0; offset < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            if (event->mask & IN_IGNORED) {
                *watchGone = true;
            }
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

void DirectoryWatcher::run(const std::string& threadName) {
    ::pthread_setname_np(::pthread_self(), threadName.substr(0, 15).c_str());
    pollfd fds[2] = {{inotifyFd_, POLLIN, 0}, {stopFd_, POLLIN, 0}};
    for (;;) {
        int ready = ::poll(fds, 2, -1);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (fds[1].revents != 0) {
            return;
        }
        bool watchGone = false;
        // Any event, an overflow of the queue included, means "look again": the callback
        // lists the directory, so missing individual events loses nothing.
        if (drainEvents(&watchGone)) {
            onChange_();
        }
        if (watchGone) {
            return;
        }
    }
}

}  // namespace orvex

#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace orvex {

// Watches one directory with inotify and calls back, on its own serial thread, after every
// batch of changes to the directory's entries. Callbacks never overlap, and events that
// arrive while one runs are coalesced into the next call.
//
// The watch is placed by open() and only the thread waits for start(), so a caller can place
// the watch, look at the directory itself, and then start: nothing that changes between the
// look and the start is lost, because its events wait in the inotify queue.
class DirectoryWatcher {
  public:
    using Callback = std::function<void()>;

    // Places the watch; nullptr (with `error` set) when the directory cannot be watched.
    static std::unique_ptr<DirectoryWatcher> open(const std::filesystem::path& directory,
                                                  std::string* error);
    // Stops the thread and waits for a running callback to finish.
    ~DirectoryWatcher();
    DirectoryWatcher(const DirectoryWatcher&) = delete;
    DirectoryWatcher& operator=(const DirectoryWatcher&) = delete;

    // Starts the thread (named `threadName`, at most 15 characters). Call once.
    void start(Callback onChange, const std::string& threadName);

  private:
    DirectoryWatcher(int inotifyFd, int stopFd);
    void run(const std::string& threadName);
    // Reads every queued event; false when the watch is gone (directory removed).
    bool drainEvents(bool* watchGone);

    int inotifyFd_;
    int stopFd_;
    Callback onChange_;
    std::thread thread_;
};

}  // namespace orvex

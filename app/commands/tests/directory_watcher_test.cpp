#include "app/commands/directory_watcher.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "testing/temp_dir.h"
#include "base/atomic_file.h"

namespace orvex {
namespace {

using namespace std::chrono_literals;

// Counts callbacks and lets the test wait for the next one. The wait is for an event the
// test itself caused; the deadline only keeps a broken watcher from hanging the suite.
class CallbackCounter {
  public:
    void hit() {
        std::lock_guard lock(mutex_);
        ++count_;
        changed_.notify_all();
    }
    bool waitFor(int atLeast) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 20s, [&] { return count_ >= atLeast; });
    }
    int count() {
        std::lock_guard lock(mutex_);
        return count_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int count_ = 0;
};

TEST(DirectoryWatcherTest, ReportsFilesMovedOrWrittenIntoTheDirectory) {
    testing::TempDir temp;
    std::string error;
    auto watcher = DirectoryWatcher::open(temp.path(), &error);
    ASSERT_TRUE(watcher) << error;

    // Made after the watch and before the thread: still reported once it starts.
    ASSERT_FALSE(writeFileAtomically(temp / "early.command.json", "{}"));
    CallbackCounter counter;
    std::thread::id callbackThread;
    watcher->start(
        [&] {
            callbackThread = std::this_thread::get_id();
            counter.hit();
        },
        "watch-test");
    ASSERT_TRUE(counter.waitFor(1));
    EXPECT_NE(callbackThread, std::this_thread::get_id());

    int before = counter.count();
    testing::writeText(temp / "plain.command.json", "{}");
    ASSERT_TRUE(counter.waitFor(before + 1));

    // A hard link reports only its creation.
    testing::TempDir elsewhere;
    testing::writeText(elsewhere / "linked", "{}");
    before = counter.count();
    ASSERT_EQ(::link((elsewhere / "linked").c_str(), (temp / "linked.command.json").c_str()), 0);
    ASSERT_TRUE(counter.waitFor(before + 1));
}

TEST(DirectoryWatcherTest, RefusesWhatIsNotADirectoryAndStopsCleanly) {
    testing::TempDir temp;
    testing::writeText(temp / "file", "");
    std::string error;
    EXPECT_FALSE(DirectoryWatcher::open(temp / "file", &error));
    EXPECT_NE(error.find("Cannot watch"), std::string::npos);
    EXPECT_FALSE(DirectoryWatcher::open(temp / "missing", &error));

    std::atomic<int> calls{0};
    auto watcher = DirectoryWatcher::open(temp.path(), &error);
    ASSERT_TRUE(watcher);
    watcher->start([&] { ++calls; }, "watch-test");
    watcher.reset();  // joins a thread blocked in poll()
    EXPECT_EQ(calls.load(), 0);
}

}  // namespace
}  // namespace orvex

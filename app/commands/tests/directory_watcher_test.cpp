#include "app/commands/directory_watcher.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

#include "base/atomic_file.h"
#include "testing/temp_dir.h"

namespace orvex {
namespace {

using namespace std::chrono_literals;

// Files written in place, moved in or linked in while the program runs are checked through
// it (app/ui/e2e/command_files_e2e_test.cpp); here, the start and the end of the thread.
TEST(DirectoryWatcherTest, ReportsWhatArrivedBeforeItsThreadStartedAndStopsCleanly) {
    testing::TempDir temp;
    std::string error;
    testing::writeText(temp / "file", "");
    EXPECT_FALSE(DirectoryWatcher::open(temp / "file", &error));
    EXPECT_NE(error.find("Cannot watch"), std::string::npos);
    EXPECT_FALSE(DirectoryWatcher::open(temp / "missing", &error));

    auto watcher = DirectoryWatcher::open(temp.path(), &error);
    ASSERT_TRUE(watcher) << error;
    ASSERT_FALSE(writeFileAtomically(temp / "early.command.json", "{}"));
    std::mutex mutex;
    std::condition_variable called;
    std::optional<std::thread::id> callbackThread;
    watcher->start(
        [&] {
            std::lock_guard lock(mutex);
            callbackThread = std::this_thread::get_id();
            called.notify_all();
        },
        "watch-test");
    {
        // The deadline only keeps a broken watcher from hanging the suite.
        std::unique_lock lock(mutex);
        ASSERT_TRUE(called.wait_for(lock, 20s, [&] { return callbackThread.has_value(); }));
        EXPECT_NE(*callbackThread, std::this_thread::get_id());
    }
    watcher.reset();  // joins a thread blocked in poll()
}

}  // namespace
}  // namespace orvex

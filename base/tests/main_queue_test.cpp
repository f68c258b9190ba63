#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "base/manual_main_queue.h"
#include "base/task_runner.h"

namespace orvex {
namespace {

using namespace std::chrono_literals;

struct ManualQueueTest : ::testing::Test {
    VirtualClock clock;
    ManualMainQueue queue{clock};
    std::vector<std::string> events;
};

// Order, timing and cancelling are relied on by every test on virtual time (the command
// queue's cleanup, the shortcut save's debounce, the notification centre); here, what they
// do not reach.
TEST_F(ManualQueueTest, WeakTargetsAreNotKeptAlive) {
    auto target = std::make_shared<int>(0);
    queue.postAfter(10ms, weakly(target, [](int& value) { ++value; }));
    queue.advance(20ms);
    EXPECT_EQ(*target, 1);
    queue.postAfter(10ms, weakly(target, [&](int&) { events.push_back("ran"); }));
    target.reset();
    queue.advance(20ms);
    EXPECT_TRUE(events.empty());
}

TEST_F(ManualQueueTest, SleepOnTheMainThreadRunsTimersFallingInsideIt) {
    ManualTaskRunner tasks;
    queue.postAfter(250ms, [&] { events.push_back("poll"); });
    tasks.spawn([&] {
        events.push_back("before");
        clock.sleepFor(300ms);
        events.push_back("after");
    });
    tasks.runAll();
    EXPECT_EQ(events, (std::vector<std::string>{"before", "poll", "after"}));
    EXPECT_EQ(clock.sleeps(), (std::vector<Clock::Duration>{300ms}));
}

TEST(ThreadTaskRunnerTest, JoinsEveryTaskOnDestruction) {
    std::atomic<int> done{0};
    {
        ThreadTaskRunner runner;
        for (int i = 0; i < 8; ++i) {
            runner.spawn([&] { ++done; });
        }
    }
    EXPECT_EQ(done.load(), 8);
}

}  // namespace
}  // namespace orvex

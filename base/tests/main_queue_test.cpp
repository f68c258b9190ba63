#include <gtest/gtest.h>

#include <chrono>
#include <thread>

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

TEST_F(ManualQueueTest, PostedWorkRunsInOrderOnlyWhenPumped) {
    queue.post([&] { events.push_back("a"); });
    std::thread other([&] { queue.post([&] { events.push_back("b"); }); });
    other.join();
    EXPECT_TRUE(events.empty());
    queue.runUntilIdle();
    EXPECT_EQ(events, (std::vector<std::string>{"a", "b"}));
}

TEST_F(ManualQueueTest, TimersFireAtTheirOwnMomentInOrder) {
    auto start = clock.now();
    std::vector<Clock::Duration> firedAt;
    queue.postAfter(300ms, [&] { firedAt.push_back(clock.now() - start); });
    queue.postAfter(100ms, [&] { firedAt.push_back(clock.now() - start); });
    queue.advance(99ms);
    EXPECT_TRUE(firedAt.empty());
    queue.advance(1s);
    EXPECT_EQ(firedAt, (std::vector<Clock::Duration>{100ms, 300ms}));
    EXPECT_EQ(clock.now() - start, 1099ms);
}

TEST_F(ManualQueueTest, CancelledAndRepeatingTimers) {
    int oneShot = 0;
    int repeats = 0;
    auto timer = queue.postAfter(100ms, [&] { ++oneShot; });
    auto repeating = queue.repeatEvery(250ms, [&] { ++repeats; });
    timer->cancel();
    queue.advance(1s);
    EXPECT_EQ(oneShot, 0);
    EXPECT_EQ(repeats, 4);
    repeating->cancel();
    queue.advance(1s);
    EXPECT_EQ(repeats, 4);
    EXPECT_EQ(queue.pendingTimerCount(), 0u);
}

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

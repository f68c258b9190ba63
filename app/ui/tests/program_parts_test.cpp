// The pieces of the program around the shell: command line, instance lock and the Qt main
// queue; the desktop choice is checked through the running program (app/ui/e2e).

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <thread>

#include "app/ui/instance_lock.h"
#include "app/ui/launch_options.h"
#include "app/ui/qt_main_queue.h"
#include "testing/temp_dir.h"

namespace orvex {
namespace {

using namespace std::chrono_literals;

// The refusals, and the options in use, are checked through the running program (app/ui/e2e).
TEST(LaunchOptionsTest, ATrailingTestPresetSchedulesNothingAndIsNoError) {
    auto parsed = parseLaunchOptions({"--verbose", "--test-preset"});
    EXPECT_TRUE(parsed.error.empty());
    EXPECT_TRUE(parsed.options.verbose);
    EXPECT_FALSE(parsed.options.testPreset);
}

TEST(InstanceLockTest, ADirectoryThatIsNotThereIsAnErrorNotAnotherHolder) {
    testing::TempDir temp;
    auto missing = InstanceLock::acquire(temp / "missing");
    EXPECT_FALSE(missing.lock);
    EXPECT_FALSE(missing.heldByAnother);
    EXPECT_FALSE(missing.error.empty());
}

// Runs Qt's event loop until `done` holds; the deadline only guards against a hang.
bool pumpUntil(const std::function<bool()>& done) {
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (done()) {
            loop.quit();
        }
    });
    check.start(1);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    if (!done()) {
        loop.exec();
    }
    return done();
}

TEST(QtMainQueueTest, RunsPostsInOrderAndTimersUntilCancelled) {
    int argc = 1;
    char name[] = "ui_tests";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    RealClock clock;
    QtMainQueue queue(clock);
    EXPECT_TRUE(queue.isMainThread());

    std::vector<int> order;
    std::thread poster([&] {
        EXPECT_FALSE(queue.isMainThread());
        for (int i = 0; i < 3; ++i) {
            queue.post([&order, i] { order.push_back(i); });
        }
    });
    poster.join();
    queue.post([&] {
        EXPECT_TRUE(queue.isMainThread());
        order.push_back(3);
    });
    ASSERT_TRUE(pumpUntil([&] { return order.size() == 4; }));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3}));

    bool once = false;
    bool dropped = false;
    queue.postAfter(1ms, [&] { once = true; });
    queue.postAfter(1ms, [&] { dropped = true; })->cancel();
    int ticks = 0;
    TimerRef repeating = queue.repeatEvery(1ms, [&] { ++ticks; });
    ASSERT_TRUE(pumpUntil([&] { return once && ticks >= 3; }));
    repeating->cancel();
    const int ticksAtCancel = ticks;
    bool marker = false;
    queue.postAfter(20ms, [&] { marker = true; });
    ASSERT_TRUE(pumpUntil([&] { return marker; }));
    EXPECT_EQ(ticks, ticksAtCancel);
    EXPECT_FALSE(dropped);
}

}  // namespace
}  // namespace orvex

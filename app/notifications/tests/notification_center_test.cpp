#include "app/notifications/notification_center.h"

#include <gtest/gtest.h>

#include <map>
#include <thread>

#include "base/clock.h"
#include "base/manual_main_queue.h"

namespace orvex {
namespace {

// Hot keys, the command queue and preset runs post from their own threads; observers touch
// the interface, so they must run on the main queue, each sender's posts in its order.
TEST(NotificationCenterTest, PostsFromOtherThreadsRunOnTheMainQueueInEachSendersOrder) {
    VirtualClock clock;
    ManualMainQueue queue{clock};
    NotificationCenter center{queue};
    const auto mainThread = std::this_thread::get_id();
    std::map<std::string, std::vector<std::string>> received;  // sender -> sequence numbers
    int offMain = 0;
    center.addObserver(notifications::executePreset, [&](const AppNotification& n) {
        offMain += std::this_thread::get_id() != mainThread;
        received[n.preset->id].push_back(n.preset->label);
    });
    center.addObserver(notifications::openHelp, [&](const AppNotification&) { ++offMain; });

    constexpr int kThreads = 4, kPosts = 50;
    std::vector<std::thread> senders;
    for (int t = 0; t < kThreads; ++t) {
        senders.emplace_back([&, t] {
            for (int i = 0; i < kPosts; ++i) {
                PresetData preset;
                preset.id = "sender" + std::to_string(t);
                preset.label = std::to_string(i);
                center.post(notifications::executePreset, preset);
            }
        });
    }
    for (std::thread& sender : senders) {
        sender.join();
    }
    EXPECT_TRUE(received.empty());  // nothing runs before the main queue turns
    queue.runUntilIdle();
    EXPECT_EQ(offMain, 0);
    ASSERT_EQ(received.size(), static_cast<std::size_t>(kThreads));
    for (const auto& [sender, sequence] : received) {
        ASSERT_EQ(sequence.size(), static_cast<std::size_t>(kPosts)) << sender;
        for (int i = 0; i < kPosts; ++i) {
            EXPECT_EQ(sequence[i], std::to_string(i)) << sender;
        }
    }
}

}  // namespace
}  // namespace orvex

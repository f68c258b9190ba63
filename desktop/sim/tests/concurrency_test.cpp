#include <gtest/gtest.h>

#include <thread>

#include "desktop/sim/tests/sim_fixture.h"

namespace orvex {
namespace {

using ConcurrencyTest = SimFixture;

// Preset runs drive the desktop from task threads while the main thread reads it; every
// event must still be journaled exactly once. (Meaningful under the thread sanitizer.)
TEST_F(ConcurrencyTest, CallsFromSeveralThreadsAreSerialized) {
    load(kEditorAndChat);
    constexpr int kThreads = 4;
    constexpr int kRounds = 100;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kRounds; ++i) {
                if (t % 2 == 0) {
                    d_.keyboard->postKeystroke("c", KeyModifiers{false, false, false, true});
                } else {
                    auto front = d_.runningApplications->frontmostApplication();
                    auto focused = d_.accessibility->applicationElement(front->processIdentifier())
                                       ->copyAttribute("AXFocusedUIElement");
                    ASSERT_TRUE(focused.ok());
                    ASSERT_TRUE(focused.element()->copyAttribute("AXSelectedText").ok());
                    d_.pasteboard->writeString("thread " + std::to_string(t));
                }
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(events("keystroke").size(), static_cast<std::size_t>(kThreads / 2 * kRounds));
    EXPECT_EQ(events("pasteboardWrite").size(),
              static_cast<std::size_t>(kThreads * kRounds));  // each copy writes once too
}

}  // namespace
}  // namespace orvex

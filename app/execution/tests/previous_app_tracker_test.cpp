#include "app/execution/previous_app_tracker.h"

#include <gtest/gtest.h>

#include "app/execution/destination_selection.h"
#include "app/execution/tests/sim_execution_fixture.h"

namespace orvex::execution_test {
namespace {

using namespace std::chrono_literals;
using Strings = std::vector<std::string>;

// Six browsers (one known only through its https registration), the classic ChatGPT app,
// an application without a bundle identifier, and this application.
const char* kBrowsers = R"({
  "self": {"bundleId": "com.tavrin.orvex", "name": "Orvex"},
  "frontmost": "com.tavrin.orvex",
  "applications": [
    {"bundleId": "com.apple.Safari", "name": "Safari", "kind": "browser", "running": true,
     "windows": [{"tabs": [{"url": "https://search.example/", "page": "custom", "elements": [
        {"role": "AXLink", "id": "link", "title": "About"},
        {"role": "AXTextField", "id": "q", "value": "", "settable": true}]}]}]},
    {"bundleId": "org.mozilla.firefox", "name": "Firefox", "kind": "browser", "running": true},
    {"bundleId": "com.brave.Browser", "name": "Brave", "kind": "browser", "running": true},
    {"bundleId": "com.vivaldi.Vivaldi", "name": "Vivaldi", "kind": "browser", "running": true},
    {"bundleId": "com.operasoftware.Opera", "name": "Opera", "kind": "browser", "running": true},
    {"bundleId": "org.example.surf", "name": "Surf", "kind": "browser", "running": true},
    {"bundleId": "com.openai.chat", "name": "ChatGPT Classic", "kind": "chat", "running": true},
    {"name": "Nameless Tool", "kind": "editor", "running": true}
  ]
})";

class PreviousAppTrackerTest : public SimExecutionFixture {
  protected:
    // The user clicks an application forward; the activation reaches the tracker on the
    // main queue.
    void activate(const std::string& app) {
        ASSERT_TRUE(sim_->userActivate(app)) << app;
        queue_.runUntilIdle();
    }
    Strings browserHistory() {
        Strings ids;
        for (const RunningApplicationRef& app : tracker_->browserActivationHistory()) {
            ids.push_back(app->bundleIdentifier().value_or("?"));
        }
        return ids;
    }
};

TEST_F(PreviousAppTrackerTest, BrowserSetIsTheKnownListPlusHttpsHandlers) {
    load(kBrowsers);
    const std::set<std::string>& ids = tracker_->browserBundleIds();
    for (const std::string& known : PreviousAppTracker::knownBrowserBundleIds()) {
        EXPECT_TRUE(ids.count(known)) << known;
    }
    EXPECT_TRUE(ids.count("org.example.surf"));
    EXPECT_FALSE(ids.count("com.openai.chat"));
    EXPECT_EQ(ids.size(), PreviousAppTracker::knownBrowserBundleIds().size() + 1);
}

TEST_F(PreviousAppTrackerTest, OwnActivationsAndActivationsDuringASendChangeNothing) {
    load(kBrowsers);
    activate("org.mozilla.firefox");
    activate("com.tavrin.orvex");
    EXPECT_EQ(tracker_->previousApp()->bundleIdentifier(), "org.mozilla.firefox");

    tracker_->setIsSending(true);
    activate("com.openai.chat");
    activate("com.apple.Safari");
    tracker_->setIsSending(false);
    EXPECT_EQ(tracker_->previousApp()->bundleIdentifier(), "org.mozilla.firefox");
    EXPECT_EQ(browserHistory(), Strings{"org.mozilla.firefox"});
    EXPECT_TRUE(tracker_->sendTargetHistory().empty());
}

TEST_F(PreviousAppTrackerTest, AppWithoutBundleIdOnlyBecomesThePreviousApp) {
    load(kBrowsers);
    activate("Nameless Tool");
    ASSERT_TRUE(tracker_->previousApp());
    EXPECT_EQ(tracker_->previousApp()->localizedName(), "Nameless Tool");
    EXPECT_TRUE(browserHistory().empty());
    EXPECT_TRUE(tracker_->sendTargetHistory().empty());
}

TEST_F(PreviousAppTrackerTest, BrowserHistoryKeepsFiveWithoutRepeats) {
    load(kBrowsers);
    for (const char* id : {"com.apple.Safari", "org.mozilla.firefox", "com.brave.Browser",
                           "com.vivaldi.Vivaldi", "com.operasoftware.Opera", "org.example.surf"}) {
        activate(id);
    }
    EXPECT_EQ(browserHistory(),
              (Strings{"org.example.surf", "com.operasoftware.Opera", "com.vivaldi.Vivaldi",
                       "com.brave.Browser", "org.mozilla.firefox"}));
    activate("com.brave.Browser");
    EXPECT_EQ(browserHistory(),
              (Strings{"com.brave.Browser", "org.example.surf", "com.operasoftware.Opera",
                       "com.vivaldi.Vivaldi", "org.mozilla.firefox"}));
}

TEST_F(PreviousAppTrackerTest, SendTargetHistoryKeepsTenWithoutRepeats) {
    load(kBrowsers);
    for (int i = 1; i <= 11; ++i) {
        tracker_->recordSendTarget("key" + std::to_string(i));
    }
    Strings history = tracker_->sendTargetHistory();
    ASSERT_EQ(history.size(), 10u);
    EXPECT_EQ(history.front(), "key11");
    EXPECT_EQ(history.back(), "key2");
    tracker_->recordSendTarget("key5");
    history = tracker_->sendTargetHistory();
    EXPECT_EQ(history.size(), 10u);
    EXPECT_EQ(history.front(), "key5");
    EXPECT_EQ(std::count(history.begin(), history.end(), "key5"), 1);
}

TEST_F(PreviousAppTrackerTest, NativeAppActivationIsRecordedAtOnceWithoutAPoll) {
    load(kBrowsers);
    tracker_->insertWebFlavorKey("chatgpt-classic");
    tracker_->insertWebFlavorKey("claude-app");
    activate("com.openai.chat");
    EXPECT_EQ(tracker_->sendTargetHistory(), Strings{"chatgpt-classic"});
    EXPECT_EQ(tracker_->webFlavorKeys(), std::set<std::string>{"claude-app"});
    EXPECT_EQ(queue_.pendingTimerCount(), 0u);
}

TEST_F(PreviousAppTrackerTest, FocusPollRecordsTheBrowserOnceTheUserTypesThere) {
    load(kBrowsers);
    ASSERT_TRUE(sim_->userFocus("com.apple.Safari", "link"));
    activate("com.apple.Safari");
    EXPECT_TRUE(tracker_->sendTargetHistory().empty());

    // The poll looks every 0.25 s for as long as it takes.
    queue_.advance(2s);
    EXPECT_TRUE(tracker_->sendTargetHistory().empty());
    EXPECT_EQ(queue_.pendingTimerCount(), 1u);

    ASSERT_TRUE(sim_->userFocus("com.apple.Safari", "q"));
    queue_.advance(250ms);
    EXPECT_EQ(tracker_->sendTargetHistory(), Strings{"last-input-field"});
    ASSERT_TRUE(tracker_->lastFocusedBrowser());
    EXPECT_EQ(tracker_->lastFocusedBrowser()->bundleIdentifier(), "com.apple.Safari");
    EXPECT_TRUE(tracker_->webFlavorKeys().empty());
    EXPECT_EQ(queue_.pendingTimerCount(), 0u);
}

TEST_F(PreviousAppTrackerTest, LeavingTheBrowserStopsItsPollWithoutRecording) {
    load(kBrowsers);
    ASSERT_TRUE(sim_->userFocus("com.apple.Safari", "link"));
    activate("com.apple.Safari");
    activate("com.openai.chat");
    ASSERT_TRUE(sim_->userFocus("com.apple.Safari", "q"));
    queue_.advance(1s);
    EXPECT_EQ(tracker_->sendTargetHistory(), Strings{"chatgpt-classic"});
    EXPECT_FALSE(tracker_->lastFocusedBrowser());
    EXPECT_EQ(queue_.pendingTimerCount(), 0u);
}

TEST_F(PreviousAppTrackerTest, ANewPollForTheSameKeySupersedesTheOldOne) {
    load(kBrowsers);
    ASSERT_TRUE(sim_->userFocus("com.apple.Safari", "link"));
    activate("com.apple.Safari");
    queue_.advance(100ms);
    activate("org.mozilla.firefox");  // its own poll for the same key
    activate("com.apple.Safari");
    queue_.advance(1s);
    // Only the newest poll is still looking: one timer, not three.
    EXPECT_EQ(queue_.pendingTimerCount(), 1u);
}

TEST_F(PreviousAppTrackerTest, TargetBrowserPrefersTheLastFocusedThenHistoryThenRunningOrder) {
    load(kBrowsers);
    RunningApplicationRef safari = running("com.apple.Safari");
    RunningApplicationRef firefox = running("org.mozilla.firefox");
    RunningApplicationRef brave = running("com.brave.Browser");

    // No history: the running browsers in the workspace's order, skipping the excluded one.
    EXPECT_EQ(tracker_->targetBrowser(nullptr)->processIdentifier(), safari->processIdentifier());
    EXPECT_EQ(tracker_->targetBrowser(safari)->processIdentifier(), firefox->processIdentifier());

    activate("com.brave.Browser");
    activate("org.mozilla.firefox");
    EXPECT_EQ(tracker_->targetBrowser(nullptr)->processIdentifier(), firefox->processIdentifier());
    EXPECT_EQ(tracker_->targetBrowser(firefox)->processIdentifier(), brave->processIdentifier());

    // The browser the user last typed in wins, even when excluded.
    tracker_->setLastFocusedBrowser(safari);
    EXPECT_EQ(tracker_->targetBrowser(safari)->processIdentifier(), safari->processIdentifier());

    // Quit browsers are skipped everywhere.
    sim_->terminate("com.apple.Safari");
    sim_->terminate("org.mozilla.firefox");
    EXPECT_EQ(tracker_->targetBrowser(nullptr)->processIdentifier(), brave->processIdentifier());
}

TEST_F(PreviousAppTrackerTest, TargetBrowserWithOnlyTheExcludedOneRunning) {
    load(R"({"applications": [
        {"bundleId": "com.apple.Safari", "name": "Safari", "kind": "browser", "running": true},
        {"bundleId": "com.openai.chat", "name": "ChatGPT Classic", "kind": "chat"}]})");
    RunningApplicationRef safari = running("com.apple.Safari");
    // Nothing else to offer: the excluded browser is still better than none.
    EXPECT_EQ(tracker_->targetBrowser(safari)->processIdentifier(), safari->processIdentifier());
    sim_->terminate("com.apple.Safari");
    EXPECT_EQ(tracker_->targetBrowser(nullptr), nullptr);
}

TEST_F(PreviousAppTrackerTest, PreviousAppObserversHearOnTheMainQueue) {
    load(kBrowsers);
    Strings heard;
    tracker_->addPreviousAppObserver([&](const RunningApplicationRef& app) {
        EXPECT_TRUE(queue_.isMainThread());
        heard.push_back(app ? app->bundleIdentifier().value_or("") : "none");
    });
    activate("com.openai.chat");
    activate("org.mozilla.firefox");
    EXPECT_EQ(heard, (Strings{"com.openai.chat", "org.mozilla.firefox"}));
}

// Chrome on a Claude page (its input not yet focused), with the Claude desktop app beside it.
const char* kChromeOnClaude = R"({
  "self": {"bundleId": "com.tavrin.orvex", "name": "Orvex"},
  "frontmost": "com.tavrin.orvex",
  "permissions": {"browserAutomation": "granted"},
  "webPages": {"claude.ai": {"title": "Claude", "page": "chat", "inputLabel": "クロード"}},
  "applications": [
    {"bundleId": "com.google.Chrome", "name": "Google Chrome", "kind": "browser", "running": true,
     "windows": [{"tabs": [{"url": "https://claude.ai/chat/7"}]}]},
    {"bundleId": "com.anthropic.claudefordesktop", "name": "Claude", "kind": "chat",
     "running": true, "windows": [{"title": "Claude"}]}
  ]
})";

class ChromeTrackingTest : public SimExecutionFixture {};

TEST_F(ChromeTrackingTest, ChromeOnAServicePagePollsForBothKeys) {
    load(kChromeOnClaude);
    ASSERT_TRUE(sim_->userActivate("com.google.Chrome"));
    queue_.runUntilIdle();
    EXPECT_TRUE(tracker_->sendTargetHistory().empty());

    ASSERT_TRUE(sim_->userFocus("com.google.Chrome", "input"));
    queue_.advance(250ms);
    std::vector<std::string> history = tracker_->sendTargetHistory();
    std::sort(history.begin(), history.end());
    EXPECT_EQ(history, (std::vector<std::string>{"claude-app", "last-input-field"}));
    EXPECT_EQ(tracker_->webFlavorKeys(), std::set<std::string>{"claude-app"});
    EXPECT_EQ(tracker_->lastFocusedBrowser()->bundleIdentifier(), "com.google.Chrome");
    // The user now uses Claude as a page: a send to "claude-app" takes the web route.
    EXPECT_EQ(routeFor(*context_, "claude-app"), DestinationRoute::web(WebFlavor::claude));

    ASSERT_TRUE(sim_->userActivate("com.anthropic.claudefordesktop"));
    queue_.runUntilIdle();
    EXPECT_TRUE(tracker_->webFlavorKeys().empty());
    EXPECT_EQ(tracker_->sendTargetHistory().front(), "claude-app");
    EXPECT_EQ(routeFor(*context_, "claude-app"),
              DestinationRoute::app("com.anthropic.claudefordesktop"));
}

TEST_F(ChromeTrackingTest, CaptureGuessFromAChromePageNamesTheServiceAsAPage) {
    load(kChromeOnClaude);
    ASSERT_TRUE(sim_->userActivate("com.google.Chrome"));
    queue_.runUntilIdle();
    ASSERT_TRUE(sim_->userFocus("com.google.Chrome", "input"));
    tracker_->removeWebFlavorKey("claude-app");

    EXPECT_EQ(guessCaptureDestination(*context_, {"chatgpt-app", "claude-app"}), "claude-app");
    EXPECT_EQ(tracker_->sendTargetHistory().front(), "claude-app");
    EXPECT_TRUE(tracker_->hasWebFlavorKey("claude-app"));
    // Not in the list: the page does not count, but the browser's field does.
    EXPECT_EQ(guessCaptureDestination(*context_, {"gemini-app", "last-input-field"}),
              "last-input-field");
}

TEST_F(ChromeTrackingTest, BrowserSetIsWarmedUpOnTheBackgroundRunner) {
    load(kChromeOnClaude);
    auto warmed = PreviousAppTracker::create(desktop_, queue_, clock_, *scripts_, config_, &tasks_);
    EXPECT_EQ(tasks_.pending(), 1u);
    EXPECT_EQ(tasks_.runAll(), 1u);
    EXPECT_TRUE(warmed->browserBundleIds().count("com.google.Chrome"));
}

}  // namespace
}  // namespace orvex::execution_test

#include "app/execution/previous_app_tracker.h"

#include <gtest/gtest.h>

#include "app/execution/destination_selection.h"
#include "route_fixture.h"

namespace orvex::route_test {
namespace {

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

class PreviousAppTrackerTest : public RouteFixture {
  protected:
    // The user clicks an application forward; the activation reaches the tracker on the
    // main queue.
    void activate(const std::string& app) {
        ASSERT_TRUE(sim_->userActivate(app)) << app;
        queue_.runUntilIdle();
    }
    Strings browserHistory() {
        Strings ids;
        for (const RunningApplicationRef& app : tracker().browserActivationHistory()) {
            ids.push_back(app->bundleIdentifier().value_or("?"));
        }
        return ids;
    }
};

TEST_F(PreviousAppTrackerTest, BrowserSetIsTheKnownListPlusHttpsHandlers) {
    load(kBrowsers);
    const std::set<std::string>& ids = tracker().browserBundleIds();
    for (const std::string& known : PreviousAppTracker::knownBrowserBundleIds()) {
        EXPECT_TRUE(ids.count(known)) << known;
    }
    EXPECT_TRUE(ids.count("org.example.surf"));
    EXPECT_FALSE(ids.count("com.openai.chat"));
    EXPECT_EQ(ids.size(), PreviousAppTracker::knownBrowserBundleIds().size() + 1);
    // Computed once: the same set object every time.
    EXPECT_EQ(&ids, &tracker().browserBundleIds());
}

TEST_F(PreviousAppTrackerTest, OwnActivationsAndActivationsDuringASendChangeNothing) {
    load(kBrowsers);
    activate("org.mozilla.firefox");
    activate("com.tavrin.orvex");
    EXPECT_EQ(tracker().previousApp()->bundleIdentifier(), "org.mozilla.firefox");

    tracker().setIsSending(true);
    activate("com.openai.chat");
    activate("com.apple.Safari");
    tracker().setIsSending(false);
    EXPECT_EQ(tracker().previousApp()->bundleIdentifier(), "org.mozilla.firefox");
    EXPECT_EQ(browserHistory(), Strings{"org.mozilla.firefox"});
    EXPECT_TRUE(tracker().sendTargetHistory().empty());
}

TEST_F(PreviousAppTrackerTest, AppWithoutBundleIdOnlyBecomesThePreviousApp) {
    load(kBrowsers);
    activate("Nameless Tool");
    ASSERT_TRUE(tracker().previousApp());
    EXPECT_EQ(tracker().previousApp()->localizedName(), "Nameless Tool");
    EXPECT_TRUE(browserHistory().empty());
    EXPECT_TRUE(tracker().sendTargetHistory().empty());
    EXPECT_TRUE(tracker().focusPollGenerations().empty());
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
        tracker().recordSendTarget("key" + std::to_string(i));
    }
    Strings history = tracker().sendTargetHistory();
    ASSERT_EQ(history.size(), 10u);
    EXPECT_EQ(history.front(), "key11");
    EXPECT_EQ(history.back(), "key2");
    tracker().recordSendTarget("key5");
    history = tracker().sendTargetHistory();
    EXPECT_EQ(history.size(), 10u);
    EXPECT_EQ(history.front(), "key5");
    EXPECT_EQ(std::count(history.begin(), history.end(), "key5"), 1);
}

TEST_F(PreviousAppTrackerTest, NativeAppActivationIsRecordedAtOnceWithoutAPoll) {
    load(kBrowsers);
    tracker().insertWebFlavorKey("chatgpt-classic");
    tracker().insertWebFlavorKey("claude-app");
    activate("com.openai.chat");
    EXPECT_EQ(tracker().sendTargetHistory(), Strings{"chatgpt-classic"});
    EXPECT_EQ(tracker().webFlavorKeys(), std::set<std::string>{"claude-app"});
    EXPECT_TRUE(tracker().focusPollGenerations().empty());
    EXPECT_EQ(queue_.pendingTimerCount(), 0u);
}

TEST_F(PreviousAppTrackerTest, FocusPollRecordsTheBrowserOnceTheUserTypesThere) {
    load(kBrowsers);
    ASSERT_TRUE(sim_->userFocus("com.apple.Safari", "link"));
    activate("com.apple.Safari");
    EXPECT_EQ(tracker().focusPollGenerations().at("last-input-field"), 1u);
    EXPECT_TRUE(tracker().sendTargetHistory().empty());

    // The poll looks every 0.25 s for as long as it takes.
    queue_.advance(2s);
    EXPECT_TRUE(tracker().sendTargetHistory().empty());
    EXPECT_EQ(queue_.pendingTimerCount(), 1u);

    ASSERT_TRUE(sim_->userFocus("com.apple.Safari", "q"));
    queue_.advance(250ms);
    EXPECT_EQ(tracker().sendTargetHistory(), Strings{"last-input-field"});
    ASSERT_TRUE(tracker().lastFocusedBrowser());
    EXPECT_EQ(tracker().lastFocusedBrowser()->bundleIdentifier(), "com.apple.Safari");
    EXPECT_TRUE(tracker().webFlavorKeys().empty());
    EXPECT_EQ(queue_.pendingTimerCount(), 0u);
}

TEST_F(PreviousAppTrackerTest, LeavingTheBrowserStopsItsPollWithoutRecording) {
    load(kBrowsers);
    ASSERT_TRUE(sim_->userFocus("com.apple.Safari", "link"));
    activate("com.apple.Safari");
    activate("com.openai.chat");
    ASSERT_TRUE(sim_->userFocus("com.apple.Safari", "q"));
    queue_.advance(1s);
    EXPECT_EQ(tracker().sendTargetHistory(), Strings{"chatgpt-classic"});
    EXPECT_FALSE(tracker().lastFocusedBrowser());
    EXPECT_EQ(queue_.pendingTimerCount(), 0u);
}

TEST_F(PreviousAppTrackerTest, ANewPollForTheSameKeySupersedesTheOldOne) {
    load(kBrowsers);
    ASSERT_TRUE(sim_->userFocus("com.apple.Safari", "link"));
    activate("com.apple.Safari");
    queue_.advance(100ms);
    activate("org.mozilla.firefox");  // its own poll for the same key, generation 2
    activate("com.apple.Safari");     // generation 3
    EXPECT_EQ(tracker().focusPollGenerations().at("last-input-field"), 3u);
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
    EXPECT_EQ(tracker().targetBrowser(nullptr)->processIdentifier(), safari->processIdentifier());
    EXPECT_EQ(tracker().targetBrowser(safari)->processIdentifier(), firefox->processIdentifier());

    activate("com.brave.Browser");
    activate("org.mozilla.firefox");
    EXPECT_EQ(tracker().targetBrowser(nullptr)->processIdentifier(), firefox->processIdentifier());
    EXPECT_EQ(tracker().targetBrowser(firefox)->processIdentifier(), brave->processIdentifier());

    // The browser the user last typed in wins, even when excluded.
    tracker().setLastFocusedBrowser(safari);
    EXPECT_EQ(tracker().targetBrowser(safari)->processIdentifier(), safari->processIdentifier());

    // Quit browsers are skipped everywhere.
    sim_->terminate("com.apple.Safari");
    sim_->terminate("org.mozilla.firefox");
    EXPECT_EQ(tracker().targetBrowser(nullptr)->processIdentifier(), brave->processIdentifier());
}

TEST_F(PreviousAppTrackerTest, TargetBrowserWithOnlyTheExcludedOneRunning) {
    load(R"({"applications": [
        {"bundleId": "com.apple.Safari", "name": "Safari", "kind": "browser", "running": true},
        {"bundleId": "com.openai.chat", "name": "ChatGPT Classic", "kind": "chat"}]})");
    RunningApplicationRef safari = running("com.apple.Safari");
    // Nothing else to offer: the excluded browser is still better than none.
    EXPECT_EQ(tracker().targetBrowser(safari)->processIdentifier(), safari->processIdentifier());
    sim_->terminate("com.apple.Safari");
    EXPECT_EQ(tracker().targetBrowser(nullptr), nullptr);
}

TEST_F(PreviousAppTrackerTest, RestorePreviousAppActivatesItAndWaits) {
    load(kBrowsers);
    tracker().restorePreviousApp();
    EXPECT_TRUE(sleeps().empty());
    EXPECT_TRUE(events("activate").empty());

    activate("org.mozilla.firefox");
    activate("com.tavrin.orvex");
    EXPECT_TRUE(tracker().isOwnAppFrontmost());
    tracker().restorePreviousApp();
    EXPECT_EQ(sleeps(), std::vector<Clock::Duration>{100ms});
    EXPECT_EQ(events("activate").back().at("app"), "org.mozilla.firefox");
    EXPECT_EQ(events("activate").back().at("by"), "requestIgnoringOtherApps");
    EXPECT_FALSE(tracker().isOwnAppFrontmost());
}

TEST_F(PreviousAppTrackerTest, PreviousAppObserversHearOnTheMainQueue) {
    load(kBrowsers);
    Strings heard;
    tracker().addPreviousAppObserver([&](const RunningApplicationRef& app) {
        EXPECT_TRUE(queue_.isMainThread());
        heard.push_back(app ? app->bundleIdentifier().value_or("") : "none");
    });
    activate("com.openai.chat");
    activate("org.mozilla.firefox");
    EXPECT_EQ(heard, (Strings{"com.openai.chat", "org.mozilla.firefox"}));
}

}  // namespace
}  // namespace orvex::route_test

namespace orvex::route_test {
namespace {

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

class ChromeTrackingTest : public RouteFixture {};

TEST_F(ChromeTrackingTest, ChromeOnAServicePagePollsForBothKeys) {
    load(kChromeOnClaude);
    ASSERT_TRUE(sim_->userActivate("com.google.Chrome"));
    queue_.runUntilIdle();
    std::map<std::string, std::uint64_t> polls = tracker().focusPollGenerations();
    EXPECT_EQ(polls,
              (std::map<std::string, std::uint64_t>{{"claude-app", 1}, {"last-input-field", 1}}));
    EXPECT_TRUE(tracker().sendTargetHistory().empty());

    ASSERT_TRUE(sim_->userFocus("com.google.Chrome", "input"));
    queue_.advance(250ms);
    std::vector<std::string> history = tracker().sendTargetHistory();
    std::sort(history.begin(), history.end());
    EXPECT_EQ(history, (std::vector<std::string>{"claude-app", "last-input-field"}));
    EXPECT_EQ(tracker().webFlavorKeys(), std::set<std::string>{"claude-app"});
    EXPECT_EQ(tracker().lastFocusedBrowser()->bundleIdentifier(), "com.google.Chrome");
    // The user now uses Claude as a page: a send to "claude-app" takes the web route.
    EXPECT_EQ(routeFor(context(), "claude-app"), DestinationRoute::web(WebFlavor::claude));

    ASSERT_TRUE(sim_->userActivate("com.anthropic.claudefordesktop"));
    queue_.runUntilIdle();
    EXPECT_TRUE(tracker().webFlavorKeys().empty());
    EXPECT_EQ(tracker().sendTargetHistory().front(), "claude-app");
    EXPECT_EQ(routeFor(context(), "claude-app"),
              DestinationRoute::app("com.anthropic.claudefordesktop"));
}

TEST_F(ChromeTrackingTest, CaptureGuessFromAChromePageNamesTheServiceAsAPage) {
    load(kChromeOnClaude);
    ASSERT_TRUE(sim_->userActivate("com.google.Chrome"));
    queue_.runUntilIdle();
    ASSERT_TRUE(sim_->userFocus("com.google.Chrome", "input"));
    tracker().removeWebFlavorKey("claude-app");

    EXPECT_EQ(guessCaptureDestination(context(), {"chatgpt-app", "claude-app"}), "claude-app");
    EXPECT_EQ(tracker().sendTargetHistory().front(), "claude-app");
    EXPECT_TRUE(tracker().hasWebFlavorKey("claude-app"));
    // Not in the list: the page does not count, but the browser's field does.
    EXPECT_EQ(guessCaptureDestination(context(), {"gemini-app", "last-input-field"}),
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
}  // namespace orvex::route_test

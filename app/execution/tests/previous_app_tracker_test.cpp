#include "app/execution/previous_app_tracker.h"

#include <gtest/gtest.h>

#include "app/execution/destination_selection.h"
#include "app/execution/tests/sim_execution_fixture.h"

namespace orvex::execution_test {
namespace {

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
    void SetUp() override { load(kBrowsers); }
    Strings browserHistory() {
        Strings ids;
        for (const RunningApplicationRef& app : tracker_->browserActivationHistory()) {
            ids.push_back(shortName(app->bundleIdentifier().value_or("?")));
        }
        return ids;
    }
    std::int32_t targetBrowser(const char* excluded) {
        RunningApplicationRef target =
            tracker_->targetBrowser(excluded ? running(excluded) : nullptr);
        return target ? target->processIdentifier() : -1;
    }
    std::int32_t pid(const char* app) { return running(app)->processIdentifier(); }
};

// Neither this application's own activations nor a send's are learned from; an application
// without a bundle identifier is only the previous one; five browsers at most, a repeat moves
// to the front; a native AI app is a send target at once. Observers hear of every new
// previous application, on the main queue.
TEST_F(PreviousAppTrackerTest, ActivationsFillTheHistories) {
    Strings heard;
    tracker_->addPreviousAppObserver([&](const RunningApplicationRef& app) {
        EXPECT_TRUE(queue_.isMainThread());
        heard.push_back(app->localizedName().value_or("?"));
    });
    userActivates("org.mozilla.firefox");
    userActivates(kSelf);
    tracker_->setIsSending(true);
    userActivates("com.openai.chat");
    userActivates("com.apple.Safari");
    tracker_->setIsSending(false);
    EXPECT_EQ(tracker_->previousApp()->localizedName(), "Firefox");
    EXPECT_EQ(browserHistory(), Strings{"firefox"});
    EXPECT_TRUE(tracker_->sendTargetHistory().empty());

    userActivates("Nameless Tool");
    EXPECT_EQ(tracker_->previousApp()->localizedName(), "Nameless Tool");
    EXPECT_EQ(browserHistory(), Strings{"firefox"});

    for (const char* app : {"com.apple.Safari", "com.brave.Browser", "com.vivaldi.Vivaldi",
                            "com.operasoftware.Opera", "org.example.surf", "com.brave.Browser"}) {
        userActivates(app);
    }
    EXPECT_EQ(browserHistory(), (Strings{"Browser", "surf", "Opera", "Vivaldi", "Safari"}));

    userActivates("com.openai.chat");
    EXPECT_EQ(tracker_->sendTargetHistory(), Strings{"chatgpt-classic"});
    EXPECT_TRUE(tracker_->isBrowser("org.example.surf"));  // through its https registration
    EXPECT_FALSE(tracker_->isBrowser("com.openai.chat"));
    EXPECT_EQ(heard, (Strings{"Firefox", "Nameless Tool", "Safari", "Brave", "Vivaldi", "Opera",
                              "Surf", "Brave", "ChatGPT Classic"}));
}

TEST_F(PreviousAppTrackerTest, SendTargetHistoryKeepsTenWithoutRepeats) {
    for (int i = 1; i <= 11; ++i) {
        tracker_->recordSendTarget("key" + std::to_string(i));
    }
    tracker_->recordSendTarget("key5");
    EXPECT_EQ(tracker_->sendTargetHistory(), (Strings{"key5", "key11", "key10", "key9", "key8",
                                                      "key7", "key6", "key4", "key3", "key2"}));
}

// A browser's poll looks every 0.25 s for as long as it takes; leaving the browser stops it
// without recording, and a new poll for the same key supersedes the old one.
TEST_F(PreviousAppTrackerTest, AFocusPollRecordsTheBrowserOnceTheUserTypesThere) {
    ASSERT_TRUE(sim_->userFocus("com.apple.Safari", "link"));
    userActivates("com.apple.Safari");
    userActivates("com.openai.chat");
    ASSERT_TRUE(sim_->userFocus("com.apple.Safari", "q"));
    queue_.advance(1s);
    EXPECT_EQ(tracker_->sendTargetHistory(), Strings{"chatgpt-classic"});
    EXPECT_FALSE(tracker_->lastFocusedBrowser());
    EXPECT_EQ(queue_.pendingTimerCount(), 0u);

    ASSERT_TRUE(sim_->userFocus("com.apple.Safari", "link"));
    userActivates("com.apple.Safari");
    queue_.advance(100ms);
    userActivates("org.mozilla.firefox");  // its own poll for the same key
    userActivates("com.apple.Safari");
    queue_.advance(2s);
    EXPECT_EQ(tracker_->sendTargetHistory(), Strings{"chatgpt-classic"});
    EXPECT_EQ(queue_.pendingTimerCount(), 1u);

    ASSERT_TRUE(sim_->userFocus("com.apple.Safari", "q"));
    queue_.advance(250ms);
    EXPECT_EQ(tracker_->sendTargetHistory(), (Strings{"last-input-field", "chatgpt-classic"}));
    ASSERT_TRUE(tracker_->lastFocusedBrowser());
    EXPECT_EQ(tracker_->lastFocusedBrowser()->bundleIdentifier(), "com.apple.Safari");
    EXPECT_TRUE(tracker_->webFlavorKeys().empty());
    EXPECT_EQ(queue_.pendingTimerCount(), 0u);
}

TEST_F(PreviousAppTrackerTest, TargetBrowserPrefersTheLastFocusedThenHistoryThenRunningOrder) {
    // No history: the running browsers in the workspace's order, skipping the excluded one.
    EXPECT_EQ(targetBrowser(nullptr), pid("com.apple.Safari"));
    EXPECT_EQ(targetBrowser("com.apple.Safari"), pid("org.mozilla.firefox"));

    userActivates("com.brave.Browser");
    userActivates("org.mozilla.firefox");
    EXPECT_EQ(targetBrowser(nullptr), pid("org.mozilla.firefox"));
    EXPECT_EQ(targetBrowser("org.mozilla.firefox"), pid("com.brave.Browser"));

    // The browser the user last typed in wins, even when excluded.
    tracker_->setLastFocusedBrowser(running("com.apple.Safari"));
    EXPECT_EQ(targetBrowser("com.apple.Safari"), pid("com.apple.Safari"));

    // Quit browsers are skipped everywhere; with only the excluded one left, it is still
    // better than none.
    const std::int32_t brave = pid("com.brave.Browser");
    for (const char* quit : {"com.apple.Safari", "org.mozilla.firefox", "com.vivaldi.Vivaldi",
                             "com.operasoftware.Opera", "org.example.surf"}) {
        sim_->terminate(quit);
    }
    EXPECT_EQ(targetBrowser(nullptr), brave);
    EXPECT_EQ(targetBrowser("com.brave.Browser"), brave);
    sim_->terminate("com.brave.Browser");
    EXPECT_EQ(targetBrowser(nullptr), -1);
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

class ChromeTrackingTest : public SimExecutionFixture {
  protected:
    void SetUp() override {
        load(kChromeOnClaude);
        userActivates(kChrome);
    }
};

// The poll on a service's page records both the service (as a page) and the last input
// field; the capture guess names the service as a page too; the native app's activation
// ends its use as a page.
TEST_F(ChromeTrackingTest, ChromeOnAServicePageCountsForTheServiceAsAPage) {
    EXPECT_TRUE(tracker_->sendTargetHistory().empty());
    ASSERT_TRUE(sim_->userFocus(kChrome, "input"));
    queue_.advance(250ms);
    Strings history = tracker_->sendTargetHistory();
    std::sort(history.begin(), history.end());
    EXPECT_EQ(history, (Strings{"claude-app", "last-input-field"}));
    EXPECT_EQ(tracker_->webFlavorKeys(), std::set<std::string>{"claude-app"});
    EXPECT_EQ(tracker_->lastFocusedBrowser()->bundleIdentifier(), kChrome);
    EXPECT_EQ(routeFor(*context_, "claude-app"), DestinationRoute::web(WebFlavor::claude));

    tracker_->removeWebFlavorKey("claude-app");
    tracker_->recordSendTarget("chatgpt-app");
    EXPECT_EQ(guessCaptureDestination(*context_, {"chatgpt-app", "claude-app"}), "claude-app");
    EXPECT_EQ(tracker_->sendTargetHistory().front(), "claude-app");
    EXPECT_TRUE(tracker_->hasWebFlavorKey("claude-app"));
    // Not in the list: the page does not count, but the browser's field does.
    EXPECT_EQ(guessCaptureDestination(*context_, {"gemini-app", "last-input-field"}),
              "last-input-field");

    userActivates(kClaude);
    EXPECT_TRUE(tracker_->webFlavorKeys().empty());
    EXPECT_EQ(tracker_->sendTargetHistory().front(), "claude-app");
    EXPECT_EQ(routeFor(*context_, "claude-app"), DestinationRoute::app(kClaude));
}

// The first look at the front tab is refused (the user allows automation only once asked);
// the page is still learned because the look is repeated while Chrome stays in front.
class ChromeFirstQueryRefusedTest : public SimExecutionFixture {};

TEST_F(ChromeFirstQueryRefusedTest, TheFrontTabIsAskedAgainWhileChromeStaysInFront) {
    std::string desk = kChromeOnClaude;
    const std::string granted = R"("browserAutomation": "granted")";
    desk.replace(desk.find(granted), granted.size(), R"("browserAutomation": "denied")");
    load(desk);
    userActivates(kChrome);
    sim_->setPermission(SimPermission::browserAutomation, SimPermissionState::granted);
    ASSERT_TRUE(sim_->userFocus(kChrome, "input"));
    queue_.advance(500ms);
    EXPECT_TRUE(tracker_->hasWebFlavorKey("claude-app"));
}

TEST_F(ChromeTrackingTest, BrowserSetIsWarmedUpOnTheBackgroundRunner) {
    auto warmed = PreviousAppTracker::create(desktop_, queue_, clock_, *scripts_, config_, &tasks_);
    EXPECT_EQ(tasks_.runAll(), 1u);
    EXPECT_TRUE(warmed->browserBundleIds().count(kChrome));
}

}  // namespace
}  // namespace orvex::execution_test

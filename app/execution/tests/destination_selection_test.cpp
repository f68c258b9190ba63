#include "app/execution/destination_selection.h"

#include <gtest/gtest.h>

#include "app/execution/tests/sim_execution_fixture.h"

namespace orvex::execution_test {
namespace {

// Every native AI app installed; Gemini runs in front with its chat window; a second
// browser (not Chrome) runs with a page that has a search field.
const char* kInstalledApps = R"({
  "self": {"bundleId": "com.tavrin.orvex", "name": "Orvex"},
  "frontmost": "com.google.GeminiMacOS",
  "applications": [
    {"bundleId": "com.openai.codex", "name": "ChatGPT", "kind": "chat"},
    {"bundleId": "com.openai.chat", "name": "ChatGPT Classic", "kind": "chat"},
    {"bundleId": "com.google.GeminiMacOS", "name": "Gemini", "kind": "chat", "running": true,
     "windows": [{"title": "Gemini"}]},
    {"bundleId": "com.anthropic.claudefordesktop", "name": "Claude", "kind": "chat"},
    {"bundleId": "org.mozilla.firefox", "name": "Firefox", "kind": "browser", "running": true,
     "windows": [{"tabs": [{"url": "https://search.example/", "page": "custom", "elements": [
        {"role": "AXTextField", "id": "q", "value": "", "settable": true},
        {"role": "AXLink", "id": "link", "title": "About"}]}]}]}
  ]
})";

PresetData preset(Strings destinations, std::string mode = "lastUsed") {
    PresetData data;
    data.destinations = std::move(destinations);
    data.multiDestMode = std::move(mode);
    return data;
}

class DestinationSelectionTest : public SimExecutionFixture {
  protected:
    void SetUp() override { load(kInstalledApps); }
};

// Whole runs show the history at work; without one, the list's first, and ChatGPT's app
// for an empty list.
TEST_F(DestinationSelectionTest, ResolveAndBestDestinationFollowTheHistory) {
    EXPECT_EQ(resolveDestinations(*context_, preset({}), false), Strings{"chatgpt-app"});
    EXPECT_EQ(resolveDestinations(*context_, preset({"gemini-app", "claude-app"}, ""), false),
              Strings{"gemini-app"});
    tracker_->recordSendTarget("claude-app");
    tracker_->recordSendTarget("chatgpt-app");
    tracker_->recordSendTarget("last-input-field");
    EXPECT_EQ(bestDestinationExcluding(*context_,
                                       preset({"last-input-field", "claude-app", "chatgpt-app"}),
                                       "last-input-field"),
              "chatgpt-app");
}

TEST_F(DestinationSelectionTest, RoutesFollowInstalledAppsAndWebFlavourKeys) {
    // Whole runs show the app, terminal and last-input routes; an unknown key is ChatGPT's.
    EXPECT_EQ(routeFor(*context_, "mystery"), DestinationRoute::app("com.openai.codex"));

    // The user last used Gemini as a page: the page it is, although the app is installed.
    tracker_->insertWebFlavorKey("gemini-app");
    EXPECT_EQ(routeFor(*context_, "gemini-app"), DestinationRoute::web(WebFlavor::gemini));
    EXPECT_EQ(routeFor(*context_, "claude-web"), DestinationRoute::web(WebFlavor::claude));
}

class AppFallbackTest : public SimExecutionFixture {};

TEST_F(AppFallbackTest, ChatGPTFallsBackToTheClassicAppThenToItsPage) {
    load(R"({"applications": [
        {"bundleId": "com.openai.chat", "name": "ChatGPT Classic", "kind": "chat"},
        {"bundleId": "com.openai.codex", "name": "ChatGPT", "kind": "chat", "installed": false}]})");
    EXPECT_EQ(availableAppDestination(*context_, AIDestination::chatgptApp),
              AIDestination::chatgptClassic);
    EXPECT_EQ(routeFor(*context_, "chatgpt-app"), DestinationRoute::app("com.openai.chat"));
    EXPECT_EQ(availableAppDestination(*context_, AIDestination::geminiApp), std::nullopt);
    EXPECT_EQ(routeFor(*context_, "gemini-app"), DestinationRoute::web(WebFlavor::gemini));
    EXPECT_EQ(availableAppDestination(*context_, AIDestination::terminal), std::nullopt);
}

// A capture guesses its destination from where the user types: the front native app when
// its text input has the focus (three looks, 0.1 s apart), a browser's field for the last
// input field; nothing while this application is in front.
TEST_F(DestinationSelectionTest, TheCaptureGuessFollowsTheFocusedTextInput) {
    // Gemini is in front, but nothing in it has the focus: no guess (and the native app's
    // match ends the search: no browser rule applies); an app not in the list costs no look.
    EXPECT_EQ(guessCaptureDestination(*context_, {"gemini-app", "last-input-field"}), std::nullopt);
    EXPECT_EQ(sleeps(), (Sleeps{100ms, 100ms}));
    clock_.clearSleeps();
    EXPECT_EQ(guessCaptureDestination(*context_, {"claude-app", "terminal"}), std::nullopt);
    EXPECT_TRUE(sleeps().empty());
    EXPECT_TRUE(tracker_->sendTargetHistory().empty());

    tracker_->insertWebFlavorKey("gemini-app");
    ASSERT_TRUE(sim_->userFocus("com.google.GeminiMacOS", "input"));
    Strings list = {"claude-app", "gemini-app"};
    EXPECT_EQ(guessCaptureDestination(*context_, list), "gemini-app");
    EXPECT_EQ(tracker_->sendTargetHistory(), Strings{"gemini-app"});
    EXPECT_FALSE(tracker_->hasWebFlavorKey("gemini-app"));
    EXPECT_TRUE(sleeps().empty());  // the first look answered
    // A capture run resolves to the guess although the history says otherwise; a text run
    // follows the history.
    tracker_->recordSendTarget("claude-app");
    EXPECT_EQ(resolveDestinations(*context_, preset(list), false), Strings{"claude-app"});
    EXPECT_EQ(resolveDestinations(*context_, preset(list), true), Strings{"gemini-app"});

    userActivates("org.mozilla.firefox");
    ASSERT_TRUE(sim_->userFocus("org.mozilla.firefox", "q"));
    tracker_->setLastFocusedBrowser(nullptr);
    EXPECT_EQ(guessCaptureDestination(*context_, {"chatgpt-app", "last-input-field"}),
              "last-input-field");
    EXPECT_EQ(tracker_->sendTargetHistory().front(), "last-input-field");
    EXPECT_EQ(tracker_->lastFocusedBrowser()->bundleIdentifier(), "org.mozilla.firefox");
    // Without the last input field in the list the browser says nothing; a link is no input.
    EXPECT_EQ(guessCaptureDestination(*context_, {"chatgpt-app", "claude-app"}), std::nullopt);
    ASSERT_TRUE(sim_->userFocus("org.mozilla.firefox", "link"));
    EXPECT_EQ(guessCaptureDestination(*context_, {"chatgpt-app", "last-input-field"}),
              std::nullopt);

    ASSERT_TRUE(sim_->userFocus("org.mozilla.firefox", "q"));
    userActivates(kSelf);
    clock_.clearSleeps();
    EXPECT_EQ(guessCaptureDestination(*context_, {"gemini-app", "last-input-field"}), std::nullopt);
    EXPECT_TRUE(sleeps().empty());
}

}  // namespace
}  // namespace orvex::execution_test

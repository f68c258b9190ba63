#include "app/execution/destination_selection.h"

#include <gtest/gtest.h>

#include "route_fixture.h"

namespace orvex::route_test {
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

PresetData preset(std::vector<std::string> destinations, std::string mode = "lastUsed") {
    PresetData data;
    data.destinations = std::move(destinations);
    data.multiDestMode = std::move(mode);
    return data;
}

using Strings = std::vector<std::string>;

class DestinationSelectionTest : public RouteFixture {};

TEST_F(DestinationSelectionTest, ResolveSingleAndAllModes) {
    load(kInstalledApps);
    EXPECT_EQ(resolveDestinations(context(), preset({}), false), Strings{"chatgpt-app"});
    PresetData legacy;
    legacy.destination = "focused-field";
    EXPECT_EQ(resolveDestinations(context(), legacy, false), Strings{"last-input-field"});
    EXPECT_EQ(
        resolveDestinations(
            context(), preset({"chatgpt-app", "last-input-field", "claude-app"}, "all"), false),
        (Strings{"chatgpt-app", "claude-app"}));
    EXPECT_EQ(resolveDestinations(context(), preset({"last-input-field"}, "all"), false),
              Strings{"last-input-field"});
    // Repeats collapse before the count: a list that is only the last input field is kept.
    EXPECT_EQ(
        resolveDestinations(context(), preset({"focused-field", "last-input-field"}, "all"), false),
        Strings{"last-input-field"});
}

TEST_F(DestinationSelectionTest, ResolveLastUsedFollowsTheHistoryAndOddModesActLikeIt) {
    load(kInstalledApps);
    for (const char* mode : {"lastUsed", "All", ""}) {
        EXPECT_EQ(resolveDestinations(context(), preset({"gemini-app", "claude-app"}, mode), false),
                  Strings{"gemini-app"})
            << mode;
    }
    tracker().recordSendTarget("claude-app");
    tracker().recordSendTarget("terminal");  // more recent, but not in the list
    for (const char* mode : {"lastUsed", "All", ""}) {
        EXPECT_EQ(resolveDestinations(context(), preset({"gemini-app", "claude-app"}, mode), false),
                  Strings{"claude-app"})
            << mode;
    }
    // Legacy identifiers are matched after mapping.
    EXPECT_EQ(resolveDestinations(context(), preset({"gemini", "claude"}), false),
              Strings{"claude-app"});
}

TEST_F(DestinationSelectionTest, BestDestinationExcluding) {
    load(kInstalledApps);
    EXPECT_EQ(bestDestinationExcluding(context(), preset({"last-input-field"}), "last-input-field"),
              std::nullopt);
    EXPECT_EQ(bestDestinationExcluding(context(), preset({"focused-field", "chatgpt", "terminal"}),
                                       "last-input-field"),
              "chatgpt-app");
    tracker().recordSendTarget("terminal");
    tracker().recordSendTarget("last-input-field");
    EXPECT_EQ(
        bestDestinationExcluding(context(), preset({"last-input-field", "chatgpt", "terminal"}),
                                 "last-input-field"),
        "terminal");
}

TEST_F(DestinationSelectionTest, RoutesFollowInstalledAppsAndWebFlavourKeys) {
    load(kInstalledApps);
    EXPECT_EQ(routeFor(context(), "chatgpt-app"), DestinationRoute::app("com.openai.codex"));
    EXPECT_EQ(routeFor(context(), "claude-app"),
              DestinationRoute::app("com.anthropic.claudefordesktop"));
    EXPECT_EQ(routeFor(context(), "terminal"), DestinationRoute::terminal());
    EXPECT_EQ(routeFor(context(), "last-input-field"), DestinationRoute::lastInput());
    EXPECT_EQ(routeFor(context(), "mystery"), DestinationRoute::app("com.openai.codex"));

    // The user last used Gemini as a page: the page it is, although the app is installed.
    tracker().insertWebFlavorKey("gemini-app");
    EXPECT_EQ(routeFor(context(), "gemini-app"), DestinationRoute::web(WebFlavor::gemini));
    EXPECT_EQ(routeFor(context(), "claude-web"), DestinationRoute::web(WebFlavor::claude));
}

TEST_F(DestinationSelectionTest, ChatGPTFallsBackToTheClassicAppThenToItsPage) {
    load(R"({"applications": [
        {"bundleId": "com.openai.chat", "name": "ChatGPT Classic", "kind": "chat"},
        {"bundleId": "com.openai.codex", "name": "ChatGPT", "kind": "chat", "installed": false}]})");
    EXPECT_EQ(availableAppDestination(context(), AIDestination::chatgptApp),
              AIDestination::chatgptClassic);
    EXPECT_EQ(routeFor(context(), "chatgpt-app"), DestinationRoute::app("com.openai.chat"));
    EXPECT_EQ(availableAppDestination(context(), AIDestination::geminiApp), std::nullopt);
    EXPECT_EQ(routeFor(context(), "gemini-app"), DestinationRoute::web(WebFlavor::gemini));
    EXPECT_EQ(availableAppDestination(context(), AIDestination::terminal), std::nullopt);
}

TEST_F(DestinationSelectionTest, NothingInstalledMeansTheWebPage) {
    load(R"({"applications": []})");
    EXPECT_EQ(availableAppDestination(context(), AIDestination::chatgptApp), std::nullopt);
    EXPECT_EQ(availableAppDestination(context(), AIDestination::chatgptClassic), std::nullopt);
    EXPECT_EQ(routeFor(context(), "chatgpt-app"), DestinationRoute::web(WebFlavor::chatgpt));
}

TEST_F(DestinationSelectionTest, CaptureGuessTakesTheFrontNativeAppWhenItsInputHasTheFocus) {
    load(kInstalledApps);
    tracker().insertWebFlavorKey("gemini-app");
    ASSERT_TRUE(sim_->userFocus("com.google.GeminiMacOS", "input"));

    Strings list = {"claude-app", "gemini-app"};
    EXPECT_EQ(guessCaptureDestination(context(), list), "gemini-app");
    EXPECT_EQ(tracker().sendTargetHistory(), Strings{"gemini-app"});
    EXPECT_FALSE(tracker().hasWebFlavorKey("gemini-app"));
    EXPECT_TRUE(sleeps().empty());  // the first look answered

    // A capture run resolves to the guess although the history says otherwise; a text run
    // follows the history.
    tracker().recordSendTarget("claude-app");
    EXPECT_EQ(resolveDestinations(context(), preset(list), false), Strings{"claude-app"});
    EXPECT_EQ(resolveDestinations(context(), preset(list), true), Strings{"gemini-app"});
    EXPECT_EQ(tracker().sendTargetHistory().front(), "gemini-app");
}

TEST_F(DestinationSelectionTest, CaptureGuessNeedsATextInputWithinThreeLooks) {
    load(kInstalledApps);
    // Gemini is in front, but nothing in it has the focus: three looks, 0.1 s apart, then
    // no guess (and the native app's match ends the search: no browser rule applies).
    EXPECT_EQ(guessCaptureDestination(context(), {"gemini-app", "last-input-field"}), std::nullopt);
    EXPECT_EQ(sleeps(), (std::vector<Clock::Duration>{100ms, 100ms}));
    EXPECT_TRUE(tracker().sendTargetHistory().empty());

    // An app that is not in the list is no guess either, and costs no look.
    clock_.clearSleeps();
    EXPECT_EQ(guessCaptureDestination(context(), {"claude-app", "terminal"}), std::nullopt);
    EXPECT_TRUE(sleeps().empty());
}

TEST_F(DestinationSelectionTest, CaptureGuessInABrowserFieldMeansTheLastInputField) {
    load(kInstalledApps);
    ASSERT_TRUE(sim_->userActivate("org.mozilla.firefox"));
    queue_.runUntilIdle();
    ASSERT_TRUE(sim_->userFocus("org.mozilla.firefox", "q"));
    tracker().setLastFocusedBrowser(nullptr);

    EXPECT_EQ(guessCaptureDestination(context(), {"chatgpt-app", "last-input-field"}),
              "last-input-field");
    EXPECT_EQ(tracker().sendTargetHistory().front(), "last-input-field");
    ASSERT_TRUE(tracker().lastFocusedBrowser());
    EXPECT_EQ(tracker().lastFocusedBrowser()->bundleIdentifier(), "org.mozilla.firefox");

    // Without the last input field in the list the browser says nothing.
    EXPECT_EQ(guessCaptureDestination(context(), {"chatgpt-app", "claude-app"}), std::nullopt);
    // A link has the focus: not a usable input.
    ASSERT_TRUE(sim_->userFocus("org.mozilla.firefox", "link"));
    EXPECT_EQ(guessCaptureDestination(context(), {"chatgpt-app", "last-input-field"}),
              std::nullopt);
}

TEST_F(DestinationSelectionTest, CaptureGuessIsNothingWhileThisAppIsInFront) {
    load(kInstalledApps);
    ASSERT_TRUE(sim_->userActivate("com.tavrin.orvex"));
    queue_.runUntilIdle();
    EXPECT_EQ(guessCaptureDestination(context(), {"gemini-app", "last-input-field"}), std::nullopt);
    EXPECT_TRUE(sleeps().empty());
}

}  // namespace
}  // namespace orvex::route_test

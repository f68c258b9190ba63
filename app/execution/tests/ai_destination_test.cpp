#include "app/execution/ai_destination.h"

#include <gtest/gtest.h>

namespace orvex {
namespace {

TEST(AIDestinationTest, IdentifiersRoundTripAndUnknownReadsAsChatGPTApp) {
    for (AIDestination destination : kAllDestinations) {
        EXPECT_EQ(destinationFromIdentifier(identifier(destination)), destination);
    }
    EXPECT_EQ(identifier(AIDestination::lastInputField), "last-input-field");
    EXPECT_EQ(destinationFromIdentifier("chatgpt"), std::nullopt);
    EXPECT_EQ(destinationFromIdentifier("Terminal"), std::nullopt);
    EXPECT_EQ(destinationOrDefault("no-such-place"), AIDestination::chatgptApp);
    EXPECT_EQ(destinationOrDefault("gemini"), AIDestination::gemini);
}

TEST(AIDestinationTest, AppKeysOfTheWebCases) {
    EXPECT_EQ(appKey("chatgpt-web"), "chatgpt-app");
    EXPECT_EQ(appKey("gemini"), "gemini-app");
    EXPECT_EQ(appKey("claude-web"), "claude-app");
    EXPECT_EQ(appKey("chatgpt-classic"), "chatgpt-classic");
    EXPECT_EQ(appKey("unknown"), "unknown");
}

PresetData presetWith(std::vector<std::string> destinations, std::string destination = "") {
    PresetData preset;
    preset.destinations = std::move(destinations);
    preset.destination = std::move(destination);
    return preset;
}

TEST(AIDestinationTest, NormalizationMapsLegacyKeysAndDropsRepeats) {
    EXPECT_EQ(normalizedDestinations(presetWith({"chatgpt", "chatgpt-app", "gemini"})),
              (std::vector<std::string>{"chatgpt-app", "gemini-app"}));
    EXPECT_EQ(normalizedDestinations(presetWith({}, "focused-field")),
              (std::vector<std::string>{"last-input-field"}));
    EXPECT_EQ(
        normalizedDestinations(presetWith({"claude-web", "terminal", "claude", "chatgpt-web"})),
        (std::vector<std::string>{"claude-app", "terminal", "chatgpt-app"}));
    // The single `destination` is ignored as soon as the list has entries.
    EXPECT_EQ(normalizedDestinations(presetWith({"terminal"}, "gemini")),
              (std::vector<std::string>{"terminal"}));
    // Unknown identifiers are kept as they are; routing reads them as "chatgpt-app" later.
    EXPECT_EQ(normalizedDestinations(presetWith({"someday"})),
              (std::vector<std::string>{"someday"}));
}

TEST(AIDestinationTest, DestinationForBundleIdKnowsOnlyTheNativeApps) {
    EXPECT_EQ(destinationForBundleId("com.openai.chat"), AIDestination::chatgptClassic);
    EXPECT_EQ(destinationForBundleId("com.anthropic.claudefordesktop"), AIDestination::claudeApp);
    EXPECT_EQ(destinationForBundleId("com.google.Chrome"), std::nullopt);
    EXPECT_EQ(destinationForBundleId("com.apple.Terminal"), std::nullopt);
    EXPECT_EQ(destinationForBundleId(""), std::nullopt);
}

TEST(AIDestinationTest, DestinationForURLMatchesTheHostOrASubdomainOnly) {
    ExecutionConfig config;
    config.chatgptWeb = {"https://chat.example/", "chat.example"};
    config.geminiWeb = {"https://gemini.example/app", "gemini.example"};
    config.claudeWeb = {"https://claude.example/new", "claude.example"};

    EXPECT_EQ(destinationForURL("https://chat.example/c/42", config), AIDestination::chatgptWeb);
    EXPECT_EQ(destinationForURL("https://www.chat.example/", config), AIDestination::chatgptWeb);
    EXPECT_EQ(destinationForURL("https://Gemini.Example/app", config), AIDestination::gemini);
    EXPECT_EQ(destinationForURL("https://claude.example", config), AIDestination::claudeWeb);

    EXPECT_EQ(destinationForURL("https://notchat.example/", config), std::nullopt);
    EXPECT_EQ(destinationForURL("https://chat.example.evil.test/", config), std::nullopt);
    EXPECT_EQ(destinationForURL("https://evil.test/?u=https://chat.example/", config),
              std::nullopt);
    EXPECT_EQ(destinationForURL("chat.example", config), std::nullopt);
    EXPECT_EQ(destinationForURL("", config), std::nullopt);
}

}  // namespace
}  // namespace orvex

#include "app/execution/error_classification.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace orvex {
namespace {

// Each phrase gives its key; earlier rows win; two-phrase rows need both; matching is
// case-sensitive.
TEST(ErrorClassificationTest, EachPhraseGivesItsKeyInTheOrderOfTheTable) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"ChatGPT responding", "status.chatgptResponding"},
        {"page load timeout", "status.pageLoadTimeout"},
        {"Chrome automation denied", "status.chromePermission"},
        {"Chrome not installed", "status.chromeNotInstalled"},
        {"ChatGPT not installed", "status.chatgptNotInstalled"},
        {"Claude not installed", "status.chatgptNotInstalled"},
        {"the app has no window", "status.chatgptNoWindow"},
        {"ChatGPT is not running", "status.chatgptCannotLaunch"},
        {"not running: Claude", "status.chatgptCannotLaunch"},
        {"needs accessibility", "status.accessibilityRequired"},
        {"Orvex is not allowed assistive access", "status.accessibilityRequired"},
        {"System Events got an error", "status.systemEventsFailed"},
        {"request timeout", "status.timeout"},
        {"Timeout while waiting", "status.timeout"},
        {"clipboard busy", "status.clipboardFailed"},
        {"Clipboard busy", "status.clipboardFailed"},
        {"ChatGPT not active", "status.chatgptNotActive"},
        {"Claude not active", "status.chatgptNotActive"},
        {"page load timeout; Chrome not installed", "status.pageLoadTimeout"},
        {"Chrome not installed, no window", "status.chromeNotInstalled"},
        {"ChatGPT not active (System Events)", "status.systemEventsFailed"},
        {"ChatGPT not active after timeout", "status.timeout"},
        {"Claude not active: not allowed", "status.accessibilityRequired"},
        {"ChatGPT not running, no window", "status.chatgptNoWindow"},
        {"Claude not installed (page load timeout)", "status.pageLoadTimeout"},
        {"ChatGPT crashed: clipboard locked", "status.clipboardFailed"},
        {"ChatGPT crashed", "status.unknownError"},
        {"Gemini not running", "status.unknownError"},
        {"CHROME NOT INSTALLED", "status.unknownError"},
        {"Accessibility", "status.unknownError"},
        {"TIMEOUT", "status.unknownError"},
    };
    for (const auto& [description, key] : cases) {
        const FailureStatus status = classifyFailureDescription(description);
        EXPECT_EQ(status.key, key) << description;
        EXPECT_EQ(status.params.empty(), key != "status.unknownError") << description;
    }
}

TEST(ErrorClassificationTest, UnknownErrorCarriesTheDescriptionUpToFiftyCharacters) {
    FailureStatus shortOne = classifyFailureDescription("App not found: com.example.x");
    EXPECT_EQ(shortOne.key, "status.unknownError");
    EXPECT_EQ(shortOne.params.at("msg"), "App not found: com.example.x");

    std::string ascii;
    for (int i = 0; i < 120; ++i) {
        ascii += static_cast<char>('a' + i % 26);
    }
    EXPECT_EQ(classifyFailureDescription(ascii).params.at("msg"), ascii.substr(0, 50));
}

TEST(ErrorClassificationTest, TruncationCountsCharactersNotBytes) {
    // 120 three-byte characters: the message holds 50 of them (150 bytes), not 50 bytes.
    std::string japanese;
    for (int i = 0; i < 120; ++i) {
        japanese += "あ";
    }
    std::string msg = classifyFailureDescription(japanese).params.at("msg");
    EXPECT_EQ(msg.size(), 150u);
    EXPECT_EQ(msg, japanese.substr(0, 150));

    // A mix of one-, two-, three- and four-byte characters.
    std::string mixed;
    std::string expected;
    const std::vector<std::string> pieces = {"a", "é", "語", "😀"};
    for (int i = 0; i < 80; ++i) {
        mixed += pieces[i % 4];
        if (i < 50) {
            expected += pieces[i % 4];
        }
    }
    EXPECT_EQ(classifyFailureDescription(mixed).params.at("msg"), expected);
}

}  // namespace
}  // namespace orvex

#include "app/execution/error_classification.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace orvex {
namespace {

std::string keyOf(std::string_view description) {
    return classifyFailureDescription(description).key;
}

TEST(ErrorClassificationTest, EachPhraseGivesItsKey) {
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
    };
    for (const auto& [description, key] : cases) {
        EXPECT_EQ(keyOf(description), key) << description;
        EXPECT_TRUE(classifyFailureDescription(description).params.empty()) << description;
    }
}

TEST(ErrorClassificationTest, EarlierRowsWin) {
    EXPECT_EQ(keyOf("page load timeout; Chrome not installed"), "status.pageLoadTimeout");
    EXPECT_EQ(keyOf("Chrome not installed, no window"), "status.chromeNotInstalled");
    // "ChatGPT not active" comes after the accessibility, System Events and timeout rows.
    EXPECT_EQ(keyOf("ChatGPT not active (System Events)"), "status.systemEventsFailed");
    EXPECT_EQ(keyOf("ChatGPT not active after timeout"), "status.timeout");
    EXPECT_EQ(keyOf("Claude not active: not allowed"), "status.accessibilityRequired");
    // Row 7 before row 8.
    EXPECT_EQ(keyOf("ChatGPT not running, no window"), "status.chatgptNoWindow");
}

TEST(ErrorClassificationTest, TwoPhraseRowsNeedBothPhrases) {
    // "ChatGPT" without "not running" falls through rows 8 and 9 to the later rows.
    EXPECT_EQ(keyOf("ChatGPT clipboard error"), "status.clipboardFailed");
    EXPECT_EQ(keyOf("ChatGPT crashed"), "status.unknownError");
    EXPECT_EQ(keyOf("Gemini not running"), "status.unknownError");
}

TEST(ErrorClassificationTest, MatchingIsCaseSensitive) {
    EXPECT_EQ(keyOf("CHROME NOT INSTALLED"), "status.unknownError");
    EXPECT_EQ(keyOf("Accessibility"), "status.unknownError");
    EXPECT_EQ(keyOf("TIMEOUT"), "status.unknownError");
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

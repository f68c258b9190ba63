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
        {"ChatGPT not running, no window", "status.chatgptNoWindow"},
        {"Claude not installed (page load timeout)", "status.pageLoadTimeout"},
        {"ChatGPT crashed: clipboard locked", "status.clipboardFailed"},
        {"ChatGPT crashed", "status.unknownError"},
        {"Gemini not running", "status.unknownError"},
        {"CHROME NOT INSTALLED", "status.unknownError"},
    };
    for (const auto& [description, key] : cases) {
        const FailureStatus status = classifyFailureDescription(description);
        EXPECT_EQ(status.key, key) << description;
        EXPECT_EQ(status.params.empty(), key != "status.unknownError") << description;
    }
}

// The description is cut at fifty characters, not bytes, of any width.
TEST(ErrorClassificationTest, UnknownErrorCarriesTheDescriptionUpToFiftyCharacters) {
    // Plain letters, three-byte characters only, and a mix of one- to four-byte ones.
    using Pieces = std::vector<std::string>;
    for (const Pieces& pieces :
         {Pieces{"a", "b", "c"}, Pieces{"あ"}, Pieces{"a", "é", "語", "😀"}}) {
        std::string description;
        std::string expected;
        for (std::size_t i = 0; i < 120; ++i) {
            description += pieces[i % pieces.size()];
            expected += i < 50 ? pieces[i % pieces.size()] : "";
        }
        EXPECT_EQ(classifyFailureDescription(description).params.at("msg"), expected);
    }
}

}  // namespace
}  // namespace orvex

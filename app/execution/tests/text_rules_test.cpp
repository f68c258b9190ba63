// The rules that read texts from outside: failure descriptions, script results, page
// addresses and the web app override.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/execution/ai_destination.h"
#include "app/execution/apple_script_results.h"
#include "app/execution/error_classification.h"
#include "app/execution/url_host.h"
#include "app/execution/web_app_override.h"

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

// A script's "true", its window count, and the platform's words for a refused automation.
TEST(AppleScriptResultsTest, TrueCountAndDenialRules) {
    using Texts = std::vector<std::string>;
    for (const std::string& yes : Texts{"true", " true\n"}) {
        EXPECT_TRUE(scriptResultIsTrue(yes)) << yes;
    }
    for (const std::string& no : Texts{"True", "false", "", "true true"}) {
        EXPECT_FALSE(scriptResultIsTrue(no)) << no;
    }
    for (const std::string& yes : Texts{"2", "+1", " 1\n", "\t17\r\n"}) {
        EXPECT_TRUE(scriptResultCountsWindow(yes)) << yes;
    }
    for (const std::string& no :
         Texts{"0", "-3", "", "two", "1.5", "+-1", "++1", "1 2", "99999999999999999999"}) {
        EXPECT_FALSE(scriptResultCountsWindow(no)) << no;
    }
    for (const std::string& yes :
         Texts{"Not authorized to send Apple events to Google Chrome. (-1743)", "error -1743",
               "Orvex is not allowed to send Apple events to Chrome.", "not authorized to send"}) {
        EXPECT_TRUE(isAutomationDenial(yes)) << yes;
    }
    EXPECT_FALSE(isAutomationDenial("Can't get application \"Google Chrome\". (-1728)"));
    EXPECT_FALSE(isAutomationDenial(""));
}

TEST(UrlHostTest, HostOfAbsoluteURLs) {
    EXPECT_EQ(urlHost("https://chat.example.com/c/1?x=2#y"), "chat.example.com");
    EXPECT_EQ(urlHost("https://user:pw@Host.Example:8443"), "Host.Example");
    EXPECT_EQ(urlHost("http://[::1]:80/"), "::1");
    EXPECT_EQ(urlHost("https://gemini.example"), "gemini.example");
    EXPECT_EQ(urlHost("chat.example.com"), std::nullopt);
    EXPECT_EQ(urlHost("mailto:a@b.example"), std::nullopt);
    EXPECT_EQ(urlHost("https:///path"), std::nullopt);
    EXPECT_EQ(urlHost("https://a b.example/"), std::nullopt);
    EXPECT_EQ(urlHost("https://x.example/\"quoted\""), std::nullopt);
    EXPECT_EQ(urlHost("https://x.example:port/"), std::nullopt);
    EXPECT_EQ(urlHost(""), std::nullopt);
}

// A service's page is its host or a subdomain of it, in any case; a look-alike host, a host
// that only starts with it, or its address inside another page's is not.
TEST(AIDestinationTest, DestinationForURLMatchesTheHostOrASubdomainOnly) {
    ExecutionConfig config;
    config.chatgptWeb = {"https://chat.example/", "chat.example"};
    config.geminiWeb = {"https://gemini.example/app", "gemini.example"};
    config.claudeWeb = {"https://claude.example/new", "claude.example"};

    EXPECT_EQ(destinationForURL("https://chat.example/c/42", config), AIDestination::chatgptWeb);
    EXPECT_EQ(destinationForURL("https://www.chat.example/", config), AIDestination::chatgptWeb);
    EXPECT_EQ(destinationForURL("https://Gemini.Example/app", config), AIDestination::gemini);
    EXPECT_EQ(destinationForURL("https://claude.example", config), AIDestination::claudeWeb);

    for (const char* other : {"https://notchat.example/", "https://chat.example.evil.test/",
                              "https://evil.test/?u=https://chat.example/", "chat.example", ""}) {
        EXPECT_EQ(destinationForURL(other, config), std::nullopt) << other;
    }
}

TEST(WebAppOverride, TestPagesReplaceTheAddressesAndAreRecognisedByTheirHost) {
    ExecutionConfig config;
    ASSERT_EQ(applyWebAppOverride(config,
                                  "claude=http://claude.localhost:8123/new,"
                                  "gemini=http://gemini.localhost:8123/app"),
              std::nullopt);
    EXPECT_EQ(config.claudeWeb.address, "http://claude.localhost:8123/new");
    EXPECT_EQ(config.claudeWeb.host, "claude.localhost");
    EXPECT_EQ(config.chatgptWeb.host, "chatgpt.com");  // not named: unchanged
    EXPECT_EQ(destinationForURL("http://claude.localhost:8123/chat/1", config),
              AIDestination::claudeWeb);
    EXPECT_EQ(destinationForURL("http://gemini.localhost:8123/", config), AIDestination::gemini);
}

TEST(WebAppOverride, ABadPartChangesNothingAndIsNamed) {
    ExecutionConfig config;
    EXPECT_EQ(applyWebAppOverride(config, "claude=http://c.localhost/,bing=http://b/"),
              "unknown web app \"bing\" (chatgpt, gemini or claude)");
    EXPECT_EQ(applyWebAppOverride(config, "claude=not a url"),
              "the address of claude has no host: \"not a url\"");
    EXPECT_EQ(config.claudeWeb.host, "claude.ai");
}

}  // namespace
}  // namespace orvex

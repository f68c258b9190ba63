#include "app/execution/apple_script_results.h"

#include <gtest/gtest.h>

#include "app/execution/url_host.h"

namespace orvex {
namespace {

TEST(AppleScriptResultsTest, BooleanRule) {
    EXPECT_TRUE(scriptResultIsTrue("true"));
    EXPECT_TRUE(scriptResultIsTrue(" true\n"));
    EXPECT_FALSE(scriptResultIsTrue("True"));
    EXPECT_FALSE(scriptResultIsTrue("false"));
    EXPECT_FALSE(scriptResultIsTrue(""));
    EXPECT_FALSE(scriptResultIsTrue("true true"));
}

TEST(AppleScriptResultsTest, CountRule) {
    for (const char* yes : {"2", "+1", " 1\n", "\t17\r\n"}) {
        EXPECT_TRUE(scriptResultCountsWindow(yes)) << yes;
    }
    for (const char* no :
         {"0", "-3", "", "two", "1.5", "+-1", "++1", "1 2", "99999999999999999999"}) {
        EXPECT_FALSE(scriptResultCountsWindow(no)) << no;
    }
}

TEST(AppleScriptResultsTest, AutomationDenialPhrases) {
    EXPECT_TRUE(
        isAutomationDenial("Not authorized to send Apple events to Google Chrome. (-1743)"));
    EXPECT_TRUE(isAutomationDenial("error -1743"));
    EXPECT_TRUE(isAutomationDenial("Orvex is not allowed to send Apple events to Chrome."));
    EXPECT_TRUE(isAutomationDenial("not authorized to send"));
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

}  // namespace
}  // namespace orvex

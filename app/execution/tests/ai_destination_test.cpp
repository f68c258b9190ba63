#include "app/execution/ai_destination.h"

#include <gtest/gtest.h>

namespace orvex {
namespace {

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

}  // namespace
}  // namespace orvex

#include "app/execution/web_app_override.h"

#include <gtest/gtest.h>

#include "app/execution/ai_destination.h"

namespace orvex {
namespace {

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

#include <gtest/gtest.h>

#include "protocol/cli_command.h"

namespace orvex {
namespace {

TEST(CLICommandText, EncodesSortedPrettyFormWithStringParams) {
    CLICommand command{"ABC", "folder.rename", {{"name", "Work"}, {"id", "2"}}};
    EXPECT_EQ(encodeCLICommandText(command),
              "{\n"
              "  \"action\": \"folder.rename\",\n"
              "  \"id\": \"ABC\",\n"
              "  \"params\": {\n"
              "    \"id\": \"2\",\n"
              "    \"name\": \"Work\"\n"
              "  }\n"
              "}\n");
    auto decoded = decodeCLICommandText(encodeCLICommandText(command));
    ASSERT_TRUE(decoded.ok()) << decoded.error;
    EXPECT_EQ(*decoded.value, command);
}

TEST(CLICommandText, EmptyParamsAreAnObjectBothWays) {
    CLICommand command{"X", "preset.list", {}};
    EXPECT_NE(encodeCLICommandText(command).find("\"params\": {}"), std::string::npos);
    auto decoded = decodeCLICommandText(R"({"action":"preset.list","id":"X","params":{}})");
    ASSERT_TRUE(decoded.ok()) << decoded.error;
    EXPECT_TRUE(decoded.value->params.empty());
}

TEST(CLICommandText, UnknownKeysAreIgnored) {
    auto decoded = decodeCLICommandText(
        R"({"action":"a","id":"X","params":{"k":"v"},"extra":[1,2],"version":3})");
    ASSERT_TRUE(decoded.ok()) << decoded.error;
    EXPECT_EQ(*decoded.value, (CLICommand{"X", "a", {{"k", "v"}}}));
}

TEST(CLICommandText, UnreadableFiles) {
    struct Case {
        const char* text;
        const char* why;
    };
    const Case cases[] = {
        {R"({"action":"a","id":"X"})", "\"params\" is missing"},
        {R"({"action":"a","id":"X","params":null})", "\"params\" is missing"},
        {R"({"action":"a","params":{}})", "\"id\" is missing"},
        {R"({"id":"X","params":{}})", "\"action\" is missing"},
        {R"({"action":"a","id":7,"params":{}})", "\"id\" must be a string"},
        {R"({"action":"a","id":"X","params":{"id":2}})", "\"params.id\" must be a string"},
        {R"({"action":"a","id":"X","params":{"on":true}})", "\"params.on\" must be a string"},
        {R"({"action":"a","id":"X","params":{"on":null}})", "\"params.on\" must be a string"},
        {R"({"action":"a","id":"X","params":["id","2"]})", "\"params\" must be an object"},
        {R"(["action","a"])", "must be a JSON object"},
        {R"({"action":"a","id":"X","params":{})", "invalid JSON"},
        {"", "invalid JSON"},
    };
    for (const auto& c : cases) {
        auto decoded = decodeCLICommandText(c.text);
        EXPECT_FALSE(decoded.ok()) << c.text;
        EXPECT_NE(decoded.error.find(c.why), std::string::npos)
            << c.text << " -> " << decoded.error;
    }
}

}  // namespace
}  // namespace orvex

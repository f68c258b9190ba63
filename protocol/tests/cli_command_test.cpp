#include <gtest/gtest.h>

#include "protocol/cli_command.h"

namespace orvex {
namespace {

// The byte-exact file form is checked where orvex-cli writes it (cli/tests).
TEST(CLICommandText, DecodesWhatItEncodesAndIgnoresUnknownKeys) {
    for (const CLICommand& command : {CLICommand{"ABC", "folder.rename", {{"name", "W"}}},
                                      CLICommand{"X", "preset.list", {}}}) {
        auto decoded = decodeCLICommandText(encodeCLICommandText(command));
        ASSERT_TRUE(decoded.ok()) << decoded.error;
        EXPECT_EQ(*decoded.value, command);
    }
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

#include "base/json.h"

#include <gtest/gtest.h>

namespace orvex {
namespace {

// Sorting and indenting are checked on the settings file and the command answers.
TEST(JsonForm, KeepsNonAsciiAsUtf8) {
    Json value = {{"label", "辞書"}};
    EXPECT_EQ(toPrettyJson(value), "{\n  \"label\": \"辞書\"\n}\n");
}

TEST(JsonParse, RejectsBadInputWithoutThrowing) {
    EXPECT_FALSE(parseJson("{").value);
    EXPECT_FALSE(parseJson("").value);
    std::string invalidUtf8 = "{\"a\": \"\xff\xfe\"}";
    auto bad = parseJson(invalidUtf8);
    EXPECT_FALSE(bad.value);
    EXPECT_FALSE(bad.error.empty());
}

TEST(JsonParse, RefusesDeepNestingButAcceptsTheLimit) {
    std::string deep(100000, '[');
    deep += std::string(100000, ']');
    auto result = parseJson(deep);
    EXPECT_FALSE(result.value);
    EXPECT_NE(result.error.find("nests deeper"), std::string::npos);

    std::string shallow = std::string(10, '[') + std::string(10, ']');
    EXPECT_TRUE(parseJson(shallow, 10).value);
    EXPECT_FALSE(parseJson(std::string(11, '[') + std::string(11, ']'), 10).value);
}

}  // namespace
}  // namespace orvex

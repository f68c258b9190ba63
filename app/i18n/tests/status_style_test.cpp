#include "app/i18n/status_style.h"

#include <gtest/gtest.h>

namespace orvex {
namespace {

using Keywords = std::vector<std::string>;

TEST(StatusStyleTest, ParsesCommaSeparatedKeywordLists) {
    const std::vector<std::pair<std::string, Keywords>> cases{
        {"a, b ,c", {"a", "b", "c"}},
        {"a,b,", {"a", "b"}},
        {",, \t ,", {}},
        {"", {}},
        {"\tfailed to \t,x", {"failed to", "x"}},
        // Only spaces and tabs are trimmed; a line break stays part of the keyword.
        {"a\n, b", {"a\n", "b"}},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(parseKeywordList(text), expected) << text;
    }
}

TEST(StatusStyleTest, ErrorFlagThenErrorKeywordsThenSuccessKeywordsCaseSensitively) {
    struct Case {
        std::string message;
        bool isError;
        StatusClass expected;
    };
    const std::vector<Case> cases{
        {"copy done but paste failed", false, StatusClass::error},
        {"all done", true, StatusClass::error},
        {"all done", false, StatusClass::success},
        {"送信完了", false, StatusClass::success},
        {"エラーが発生しました", false, StatusClass::error},
        {"working", false, StatusClass::neutral},
        {"Copy Failed", false, StatusClass::neutral},
        {"", false, StatusClass::neutral},
        {"", true, StatusClass::error},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(classifyStatus(c.message, c.isError, {"failed", "エラー"}, {"done", "完了"}),
                  c.expected)
            << c.message;
        EXPECT_EQ(statusStyle(c.message, c.isError, "failed,エラー", "done, 完了"),
                  styleForClass(c.expected))
            << c.message;
    }
    // An empty keyword would match every message; it must match none.
    EXPECT_EQ(classifyStatus("anything", false, {""}, {""}), StatusClass::neutral);
    EXPECT_EQ(statusStyle("anything", false, " , ", ",\t,").statusClass, StatusClass::neutral);
}

}  // namespace
}  // namespace orvex

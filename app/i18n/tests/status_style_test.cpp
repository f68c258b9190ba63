#include "app/i18n/status_style.h"

#include <gtest/gtest.h>

namespace orvex {
namespace {

using Keywords = std::vector<std::string>;

TEST(StatusStyleTest, ParsesCommaSeparatedKeywordLists) {
    EXPECT_EQ(parseKeywordList("a, b ,c"), (Keywords{"a", "b", "c"}));
    EXPECT_EQ(parseKeywordList("a,b,"), (Keywords{"a", "b"}));
    EXPECT_EQ(parseKeywordList(",, \t ,"), Keywords{});
    EXPECT_EQ(parseKeywordList(""), Keywords{});
    EXPECT_EQ(parseKeywordList("\tfailed to \t,x"), (Keywords{"failed to", "x"}));
    // Only spaces and tabs are trimmed; a line break stays part of the keyword.
    EXPECT_EQ(parseKeywordList("a\n, b"), (Keywords{"a\n", "b"}));
}

TEST(StatusStyleTest, ErrorFlagAndErrorKeywordsWinOverSuccess) {
    const Keywords errors{"failed", "エラー"};
    const Keywords successes{"done", "完了"};
    EXPECT_EQ(classifyStatus("copy done but paste failed", false, errors, successes),
              StatusClass::error);
    EXPECT_EQ(classifyStatus("all done", true, errors, successes), StatusClass::error);
    EXPECT_EQ(classifyStatus("all done", false, errors, successes), StatusClass::success);
    EXPECT_EQ(classifyStatus("送信完了", false, errors, successes), StatusClass::success);
    EXPECT_EQ(classifyStatus("エラーが発生しました", false, errors, successes), StatusClass::error);
    EXPECT_EQ(classifyStatus("working", false, errors, successes), StatusClass::neutral);
}

TEST(StatusStyleTest, MatchingIsCaseSensitiveAndEmptyMatchesNothing) {
    EXPECT_EQ(classifyStatus("Copy Failed", false, {"failed"}, {}), StatusClass::neutral);
    EXPECT_EQ(classifyStatus("", false, {"failed"}, {"done"}), StatusClass::neutral);
    EXPECT_EQ(classifyStatus("", true, {}, {}), StatusClass::error);
    // An empty keyword would match every message; it must match none.
    EXPECT_EQ(classifyStatus("anything", false, {""}, {""}), StatusClass::neutral);
    EXPECT_EQ(statusStyle("anything", false, " , ", ",\t,").statusClass, StatusClass::neutral);
}

TEST(StatusStyleTest, ColoursOfEachClass) {
    const auto error = statusStyle("x failed", false, "failed", "done");
    EXPECT_EQ(error.statusClass, StatusClass::error);
    EXPECT_EQ(error.text, (Rgba{0, 0, 0, 1}));
    EXPECT_EQ(error.fill, (Rgba{1, 107 / 255.0, 107 / 255.0, 0.1}));
    EXPECT_EQ(error.border, (Rgba{1, 107 / 255.0, 107 / 255.0, 0.3}));

    const auto success = statusStyle("x done", false, "failed", "done");
    EXPECT_EQ(success.statusClass, StatusClass::success);
    EXPECT_EQ(success.text, (Rgba{0, 0, 0, 1}));
    EXPECT_EQ(success.fill, (Rgba{107 / 255.0, 1, 140 / 255.0, 0.1}));
    EXPECT_EQ(success.border, (Rgba{107 / 255.0, 1, 140 / 255.0, 0.3}));

    // An empty line (the box shows the standby text) is neutral: white on the dark fill.
    const auto neutral = statusStyle("", false, "failed", "done");
    EXPECT_EQ(neutral.statusClass, StatusClass::neutral);
    EXPECT_EQ(neutral.text, (Rgba{1, 1, 1, 1}));
    EXPECT_EQ(neutral.fill, (Rgba{10 / 255.0, 26 / 255.0, 22 / 255.0, 0.92}));
    EXPECT_EQ(neutral.border, (Rgba{1, 1, 1, 0.1}));
}

}  // namespace
}  // namespace orvex

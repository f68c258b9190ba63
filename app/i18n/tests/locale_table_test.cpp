#include "app/i18n/locale_table.h"

#include <gtest/gtest.h>

#include "app/i18n/tests/i18n_test_support.h"

namespace orvex {
namespace {

LocaleTable sampleTable() {
    return LocaleTable(Json::parse(R"({
        "status": {
            "cannotLaunch": "Could not launch ${appName}. ${appName} is missing.",
            "standby": "Ready",
            "count": 3,
            "list": ["a"],
            "nested": {"deep": "Deep text"}
        },
        "flat.dotted": "unreachable",
        "top": "Top text"
    })"));
}

TEST(LocaleTableTest, FollowsDottedKeysThroughNestedObjects) {
    const auto table = sampleTable();
    EXPECT_EQ(table.text("status.standby"), "Ready");
    EXPECT_EQ(table.text("status.nested.deep"), "Deep text");
    EXPECT_EQ(table.text("top"), "Top text");
    // Doubled, leading and trailing dots are ignored.
    EXPECT_EQ(table.text("..status..standby."), "Ready");
    EXPECT_EQ(table.text(".top"), "Top text");
}

TEST(LocaleTableTest, AnswersTheKeyWhenItLeadsToNoString) {
    const auto table = sampleTable();
    EXPECT_EQ(table.text("status"), "status");                  // stops at an object
    EXPECT_EQ(table.text("status.missing"), "status.missing");  // no such member
    EXPECT_EQ(table.text("status.count"), "status.count");      // a number
    EXPECT_EQ(table.text("status.list"), "status.list");        // a list
    EXPECT_EQ(table.text("top.more"), "top.more");              // walks through a string
    EXPECT_EQ(table.text("flat.dotted"), "flat.dotted");        // a dotted member is unreachable
    EXPECT_EQ(table.text("..status..missing"),
              "..status..missing");  // the key comes back unchanged
    EXPECT_EQ(table.text(""), "");   // the whole table
    EXPECT_EQ(table.text("..."), "...");
}

TEST(LocaleTableTest, ReplacesEveryPlaceholderOfEachParameter) {
    const auto table = sampleTable();
    EXPECT_EQ(table.text("status.cannotLaunch", {{"appName", "Notes"}}),
              "Could not launch Notes. Notes is missing.");
    EXPECT_EQ(table.text("status.cannotLaunch"),
              "Could not launch ${appName}. ${appName} is missing.");
    // Unknown parameters change nothing; a parameterless text ignores parameters.
    EXPECT_EQ(table.text("status.cannotLaunch", {{"other", "x"}}),
              "Could not launch ${appName}. ${appName} is missing.");
    EXPECT_EQ(table.text("status.standby", {{"appName", "Notes"}}), "Ready");
    // A missing key is not a template.
    EXPECT_EQ(table.text("status.none ${appName}", {{"appName", "Notes"}}),
              "status.none ${appName}");
}

TEST(LocaleTableTest, InsertsParameterValuesLiterally) {
    EXPECT_EQ(fillPlaceholders("${a} and ${b}", {{"a", "${b}"}, {"b", "B"}}), "${b} and B");
    EXPECT_EQ(fillPlaceholders("${a}", {{"a", "${a}${a}"}}), "${a}${a}");
    EXPECT_EQ(fillPlaceholders("cost: $5 {x} ${", {{"x", "y"}}), "cost: $5 {x} ${");
    EXPECT_EQ(fillPlaceholders("${${name}}", {{"name", "N"}}), "${N}");
    EXPECT_EQ(fillPlaceholders("${file}: ${ msg}", {{"file", "a\\b.txt"}}), "a\\b.txt: ${ msg}");
    EXPECT_EQ(fillPlaceholders("名前: ${name}。", {{"name", "メモ"}}), "名前: メモ。");
}

TEST(LocaleTableTest, NonObjectRootsGiveTheEmptyTable) {
    EXPECT_EQ(LocaleTable(Json::array({"x"})).text("0"), "0");
    EXPECT_EQ(LocaleTable(Json("text")).text(""), "");
}

TEST(LocaleTableTest, FromFileRejectsWhatIsNotAnObject) {
    i18n_test::ScratchDir dir;
    i18n_test::writeText(dir / "ok.json", R"({"a": {"b": "B"}})");
    i18n_test::writeText(dir / "list.json", R"(["a"])");
    i18n_test::writeText(dir / "broken.json", R"({"a": )");

    std::string error;
    const auto ok = LocaleTable::fromFile(dir.path(), "ok", &error);
    ASSERT_TRUE(ok.has_value()) << error;
    EXPECT_EQ(ok->text("a.b"), "B");

    for (const char* code : {"list", "broken", "missing"}) {
        error.clear();
        EXPECT_FALSE(LocaleTable::fromFile(dir.path(), code, &error).has_value()) << code;
        EXPECT_FALSE(error.empty()) << code;
    }
}

}  // namespace
}  // namespace orvex

#include "app/i18n/locale_table.h"

#include <gtest/gtest.h>

namespace orvex {
namespace {

TEST(LocaleTableTest, LooksUpDottedKeysAndAnswersTheKeyWhenItLeadsToNoString) {
    const LocaleTable table(Json::parse(R"({
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
    const std::string launch = "Could not launch ${appName}. ${appName} is missing.";
    struct Case {
        std::string key;
        TextParams params;
        std::string expected;
    };
    const std::vector<Case> cases{
        {"status.standby", {}, "Ready"},
        {"status.nested.deep", {}, "Deep text"},
        {"top", {}, "Top text"},
        // Doubled, leading and trailing dots are ignored.
        {"..status..standby.", {}, "Ready"},
        {".top", {}, "Top text"},
        {"status", {}, "status"},                  // stops at an object
        {"status.missing", {}, "status.missing"},  // no such member
        {"status.count", {}, "status.count"},      // a number
        {"status.list", {}, "status.list"},        // a list
        {"top.more", {}, "top.more"},              // walks through a string
        {"flat.dotted", {}, "flat.dotted"},        // a dotted member is unreachable
        {"..status..missing", {}, "..status..missing"},
        {"", {}, ""},
        {"...", {}, "..."},
        {"status.cannotLaunch",
         {{"appName", "Notes"}},
         "Could not launch Notes. Notes is missing."},
        {"status.cannotLaunch", {}, launch},
        {"status.cannotLaunch", {{"other", "x"}}, launch},
        {"status.standby", {{"appName", "Notes"}}, "Ready"},
        // A missing key is not a template.
        {"status.none ${appName}", {{"appName", "Notes"}}, "status.none ${appName}"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(table.text(c.key, c.params), c.expected) << c.key;
    }
    EXPECT_EQ(LocaleTable(Json::array({"x"})).text("0"), "0");
    EXPECT_EQ(LocaleTable(Json("text")).text(""), "");
}

TEST(LocaleTableTest, InsertsParameterValuesLiterally) {
    const std::vector<std::tuple<std::string, TextParams, std::string>> cases{
        {"${a} and ${b}", {{"a", "${b}"}, {"b", "B"}}, "${b} and B"},
        {"${a}", {{"a", "${a}${a}"}}, "${a}${a}"},
        {"cost: $5 {x} ${", {{"x", "y"}}, "cost: $5 {x} ${"},
        {"${${name}}", {{"name", "N"}}, "${N}"},
        {"${file}: ${ msg}", {{"file", "a\\b.txt"}}, "a\\b.txt: ${ msg}"},
        {"名前: ${name}。", {{"name", "メモ"}}, "名前: メモ。"},
    };
    for (const auto& [text, params, expected] : cases) {
        EXPECT_EQ(fillPlaceholders(text, params), expected) << text;
    }
}

}  // namespace
}  // namespace orvex

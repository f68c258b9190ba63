// Checks the shipped locale files against the sources that look texts up and against each
// other, with no key list of its own: keys added to the sources or files need no edit here.
#include <gtest/gtest.h>

#include <ranges>
#include <regex>
#include <set>

#include "app/i18n/locale_table.h"
#include "app/i18n/status_style.h"
#include "base/atomic_file.h"
#include "testing/source_tree.h"

namespace orvex {
namespace {

namespace fs = std::filesystem;
using Leaves = std::map<std::string, std::string>;

Json loadLocaleJson(const std::string& code) {
    std::string error;
    const auto text = readWholeFile(
        testing::sourceDir() / "app/i18n/resources/locales" / (code + ".json"), &error);
    auto parsed = text ? parseJson(*text) : JsonParseResult{};
    if (!parsed.value) {
        ADD_FAILURE() << code << ": " << error << parsed.error;
        return Json::object();
    }
    return *parsed.value;
}

// Dotted paths of every leaf; a leaf that is not a non-empty text is reported.
void collectLeaves(const Json& value, const std::string& prefix, Leaves& out) {
    for (const auto& [name, member] : value.items()) {
        const std::string key = prefix.empty() ? name : prefix + "." + name;
        if (member.is_object()) {
            collectLeaves(member, key, out);
        } else if (!member.is_string() || member.get<std::string>().empty()) {
            ADD_FAILURE() << key << " is not a non-empty text";
        } else {
            out.emplace(key, member.get<std::string>());
        }
    }
}

Leaves leavesOf(const std::string& code) {
    Leaves leaves;
    collectLeaves(loadLocaleJson(code), "", leaves);
    return leaves;
}

std::set<std::string> placeholders(const std::string& key, const std::string& text) {
    std::set<std::string> names;
    for (auto open = text.find("${"); open != std::string::npos; open = text.find("${", open + 2)) {
        const auto close = text.find('}', open);
        if (close == std::string::npos) {
            ADD_FAILURE() << key << " has an unclosed placeholder";
            break;
        }
        names.insert(text.substr(open + 2, close - open - 2));
    }
    return names;
}

// Keys the non-test sources under app/, desktop/ and tools/ hand to a lookup: the first or
// second argument of a call or braced initialiser (i18n.text("k"), setStatusKey(context,
// "k", ...), reportProblem("k"), FailureStatus{"k", ...}) or a constant's value
// (kNewPresetKey = "k"), whose first component is a top-level key of the files. Command
// tables ({"settings.export", handler}) hold no such argument. Each key maps to the error
// flag it is shown with, when the source passes one.
std::map<std::string, std::optional<bool>> keysUsedBySources() {
    std::set<std::string> tops;
    const Json en = loadLocaleJson("en");
    for (const auto& [name, member] : en.items()) {
        tops.insert(name);
    }
    const fs::path root = testing::sourceDir();
    static const std::regex comment(R"(//[^\n]*)");
    static const std::regex testPath(
        R"((^|/)tests?/|_test\.|test_|(^|/)e2e/|desktop_tests/|test_apps/|(^|/)testing/)");
    static const std::regex use(
        R"re((?:\w\s*[({]\s*(?:\w+\s*,\s*)?|\w\s*=\s*)"([A-Za-z]+)\.([A-Za-z0-9.]+)"(?:,\s*(true|false))?)re");
    std::map<std::string, std::optional<bool>> keys;
    for (const char* top : {"app", "desktop", "tools"}) {
        for (const auto& entry : fs::recursive_directory_iterator(root / top)) {
            const auto ext = entry.path().extension();
            if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h") ||
                std::regex_search(fs::relative(entry.path(), root).generic_string(), testPath)) {
                continue;
            }
            std::string error;
            const std::string code =
                std::regex_replace(readWholeFile(entry.path(), &error).value_or(""), comment, "");
            for (std::sregex_iterator it(code.begin(), code.end(), use), end; it != end; ++it) {
                const auto& match = *it;
                if (tops.contains(match[1].str())) {
                    auto& flag = keys[match[1].str() + "." + match[2].str()];
                    if (match[3].matched) {
                        flag = match[3].str() == "true";
                    }
                }
            }
        }
    }
    // Guards the scan itself: a pattern that stopped matching would pass vacuously.
    EXPECT_TRUE(keys.contains("status.noSelection") && keys.contains("settings.newPreset"));
    return keys;
}

TEST(LocaleFilesTest, BothLanguagesHoldEveryKeyTheSourcesUseAndTheSamePlaceholders) {
    const Leaves ja = leavesOf("ja");
    const Leaves en = leavesOf("en");
    for (const auto& [key, flag] : keysUsedBySources()) {
        EXPECT_TRUE(ja.contains(key) && en.contains(key)) << key;
    }
    EXPECT_TRUE(std::ranges::equal(std::views::keys(ja), std::views::keys(en)));
    for (const auto& [key, text] : en) {
        if (ja.contains(key)) {
            EXPECT_EQ(placeholders(key, ja.at(key)), placeholders(key, text)) << key;
        }
    }
}

// A status's class comes from which keyword list its text matches. No text may match both,
// both languages must give each status the same class, the error flag the sources pass must
// agree with it, and names holding words of the error texts must not change it.
TEST(LocaleFilesTest, KeywordListsClassifyEveryStatusTheSameWayInBothLanguages) {
    struct Language {
        LocaleTable table;
        std::vector<std::string> errors;
        std::vector<std::string> successes;
    };
    std::map<std::string, Language> languages;
    for (const char* code : {"ja", "en"}) {
        LocaleTable table(loadLocaleJson(code));
        auto errors = parseKeywordList(table.text("statusClassification.errorKeywords"));
        auto successes = parseKeywordList(table.text("statusClassification.successKeywords"));
        ASSERT_FALSE(errors.empty() || successes.empty()) << code;
        languages.emplace(code, Language{table, errors, successes});
    }
    const auto matchesAny = [](const std::string& text, const std::vector<std::string>& words) {
        return std::ranges::any_of(
            words, [&](const auto& word) { return text.find(word) != std::string::npos; });
    };
    // Parameter values that carry no keyword of either language.
    const TextParams plain{{"appName", "Notes"},
                           {"fileName", "NewFile.txt"},
                           {"result", "x"},
                           {"msg", "x"},
                           {"path", "/home/u/.config/orvex/settings.json.unreadable-1"}};
    // Names users give their files and applications, holding words of the error texts.
    const TextParams wordyNames{{"appName", "Error Reporter エラー Failed"},
                                {"fileName", "error-log failed エラー.txt"}};
    const auto used = keysUsedBySources();
    std::set<StatusClass> seen;
    for (const auto& [key, text] : leavesOf("en")) {
        if (!key.starts_with("status.")) {
            continue;
        }
        std::optional<StatusClass> agreed;
        for (const auto& [code, language] : languages) {
            const auto message = language.table.text(key, plain);
            EXPECT_FALSE(matchesAny(message, language.errors) &&
                         matchesAny(message, language.successes))
                << code << " " << key << " matches both lists: " << message;
            const auto statusClass =
                classifyStatus(message, false, language.errors, language.successes);
            EXPECT_EQ(statusClass, agreed.value_or(statusClass)) << code << " " << key;
            agreed = statusClass;
            const auto wordy = language.table.text(key, wordyNames);
            EXPECT_EQ(classifyStatus(wordy, false, language.errors, language.successes),
                      statusClass)
                << code << " " << key << ": " << wordy;
        }
        seen.insert(*agreed);
        const auto flag = used.find(key);
        if (flag != used.end() && flag->second) {
            EXPECT_EQ(*flag->second, *agreed == StatusClass::error) << key;
        }
    }
    EXPECT_EQ(seen.size(), 3u) << "every class has statuses";
}

}  // namespace
}  // namespace orvex

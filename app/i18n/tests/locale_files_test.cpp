// Checks the shipped locale files: complete, consistent with each other, and with keyword
// lists that really classify the status texts of their own language.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "app/i18n/locale_directory.h"
#include "app/i18n/locale_table.h"
#include "app/i18n/status_style.h"
#include "app/i18n/tests/i18n_test_support.h"
#include "base/atomic_file.h"

namespace orvex {
namespace {

// Every key the application looks up, by first component (help chapters are checked apart).
const std::map<std::string, std::vector<std::string>>& requiredKeys() {
    static const std::map<std::string, std::vector<std::string>> keys{
        {"defaultPresets",
         {"captureTranslate", "captureTranslatePrompt", "dictionary", "dictionaryPrompt",
          "multiAISend", "translate", "translatePrompt"}},
        {"dialog",
         {"cancel", "delete", "exportFailed", "exportTitle", "importCancel", "importFailed",
          "importInvalidFormat", "importOverwrite", "importOverwriteBtn", "importOverwriteDetail",
          "importTitle", "noDestination", "resetBtn", "resetConfirm", "resetDetail"}},
        {"groupNames", {"activateApp", "ai", "createFile", "noShortcut", "openFile"}},
        {"help", {"backToToc", "noResult", "searchPlaceholder", "title"}},
        {"index",
         {"badgeAI", "badgeApp", "badgeCreate", "badgeFile", "badgeMultipleAI", "destChatGPT",
          "destChatGPTClassic", "destChatGPTWeb", "destClaude", "destClaudeWeb", "destGemini",
          "destGeminiWeb", "destLastInputField", "destTerminal", "presets", "settings"}},
        {"menu",
         {"about", "alwaysOnTop", "askAI", "exportPresets", "importPresets", "langEn", "langJa",
          "language", "openHelp", "quit", "resetPresets", "tutorial", "website"}},
        {"settings",
         {"action",
          "actionAI",
          "actionApp",
          "actionCreateFile",
          "actionOpenFile",
          "addGroup",
          "addNew",
          "appBrowse",
          "appPlaceholder",
          "application",
          "back",
          "browse",
          "deleteGroupConfirm",
          "deletePresetConfirm",
          "destChatGPTApp",
          "destChatGPTClassic",
          "destClaudeApp",
          "destGeminiApp",
          "destLastInputField",
          "destLastInputFieldHint",
          "destination",
          "dropToUngroup",
          "editPreset",
          "extension",
          "extensionHint",
          "filePlaceholder",
          "finderCreateFile",
          "fixedPrompt",
          "fixedPromptHint",
          "fixedPromptHintTerminal",
          "group",
          "label",
          "labelHint",
          "labelPlaceholder",
          "mode",
          "modeCapture",
          "modeSelection",
          "multiDestAll",
          "multiDestAllHint",
          "multiDestLastUsed",
          "multiDestLastUsedHint",
          "multiDestMode",
          "newGroup",
          "newPreset",
          "openFile",
          "sendAuto",
          "sendManual",
          "sendMethod",
          "shortcut",
          "shortcutHint",
          "shortcutPlaceholder",
          "shortcutUnsupportedKey",
          "sourceCopy",
          "sourceCut",
          "sourceText",
          "title",
          "ungroup"}},
        {"status",
         {"accessibilityRequired",
          "bringToFront",
          "broughtToFront",
          "browserInputNotFound",
          "cannotLaunch",
          "captureCancelled",
          "chatgptCannotLaunch",
          "chatgptNoWindow",
          "chatgptNotActive",
          "chatgptNotInstalled",
          "chatgptResponding",
          "chromeNotInstalled",
          "chromePermission",
          "clipboardFailed",
          "copyFailed",
          "creatingFile",
          "fileCreateFailed",
          "fileCreated",
          "fileOpenFailed",
          "fileOpened",
          "finderError",
          "focusFailed",
          "loadingPage",
          "noBrowser",
          "noDesktopSession",
          "noSelection",
          "noTargetApp",
          "openingBrowser",
          "openingFile",
          "pageLoadTimeout",
          "selectCaptureArea",
          "sending",
          "sent",
          "settingsReset",
          "settingsTooLarge",
          "standby",
          "systemEventsFailed",
          "targetAppNotRunning",
          "timeout",
          "unknownError",
          "x11OnWayland"}},
        {"statusClassification", {"errorKeywords", "successKeywords"}},
        {"tray", {"alwaysOnTop", "quit", "showWindow"}},
        {"tutorial",
         {"back", "done", "next", "skip", "step1Title", "step1Text", "step2Title", "step2Text",
          "step3Title", "step3Text", "step4Title", "step4Text", "step5Title", "step5Text",
          "step6Title", "step6Text"}},
    };
    return keys;
}

// The keys whose texts take parameters, with the parameter each one takes.
const std::map<std::string, std::string>& parameterizedKeys() {
    static const std::map<std::string, std::string> keys{
        {"status.bringToFront", "appName"},       {"status.broughtToFront", "appName"},
        {"status.cannotLaunch", "appName"},       {"status.fileCreated", "fileName"},
        {"status.fileOpenFailed", "result"},      {"status.finderError", "msg"},
        {"status.unknownError", "msg"},           {"help.noResult", "query"},
        {"settings.deletePresetConfirm", "name"}, {"settings.deleteGroupConfirm", "name"},
        {"status.settingsReset", "path"},
    };
    return keys;
}

Json loadLocaleJson(const std::string& code) {
    std::string error;
    const auto text = readWholeFile(i18n_test::sourceLocaleDirectory() / (code + ".json"), &error);
    if (!text) {
        ADD_FAILURE() << code << ": " << error;
        return Json::object();
    }
    auto parsed = parseJson(*text);
    if (!parsed.value) {
        ADD_FAILURE() << code << ": " << parsed.error;
        return Json::object();
    }
    return *parsed.value;
}

// Dotted paths of every leaf; a leaf that is not a string is reported.
void collectLeaves(const Json& value, const std::string& prefix, std::map<std::string, Json>& out) {
    for (const auto& [name, member] : value.items()) {
        const std::string key = prefix.empty() ? name : prefix + "." + name;
        if (member.is_object()) {
            collectLeaves(member, key, out);
        } else {
            out.emplace(key, member);
        }
    }
}

class LocaleFileTest : public ::testing::TestWithParam<std::string> {
  protected:
    void SetUp() override {
        json_ = loadLocaleJson(GetParam());
        table_ = LocaleTable(json_);
        collectLeaves(json_, "", leaves_);
    }
    Json json_;
    LocaleTable table_;
    std::map<std::string, Json> leaves_;
};

TEST_P(LocaleFileTest, HoldsANonEmptyTextForEveryKey) {
    for (const auto& [first, names] : requiredKeys()) {
        for (const auto& name : names) {
            const std::string key = first + "." + name;
            const auto leaf = leaves_.find(key);
            ASSERT_NE(leaf, leaves_.end()) << key;
            ASSERT_TRUE(leaf->second.is_string()) << key;
            EXPECT_FALSE(leaf->second.get<std::string>().empty()) << key;
        }
    }
    for (const auto& [key, value] : leaves_) {
        EXPECT_TRUE(value.is_string()) << key << " is not a text";
    }
}

TEST_P(LocaleFileTest, HelpChaptersAreNumberedFromOneWithoutGaps) {
    std::set<int> titles;
    std::set<int> bodies;
    for (const auto& [key, value] : leaves_) {
        if (!key.starts_with("help.ch")) {
            continue;
        }
        const std::string rest = key.substr(7);
        const std::size_t digits = rest.find_first_not_of("0123456789");
        ASSERT_TRUE(digits != 0 && digits != std::string::npos) << key;
        const std::string part = rest.substr(digits);
        ASSERT_TRUE(part == "Title" || part == "Body") << key;
        (part == "Title" ? titles : bodies).insert(std::stoi(rest.substr(0, digits)));
    }
    ASSERT_FALSE(titles.empty());
    EXPECT_EQ(titles, bodies);
    EXPECT_EQ(*titles.begin(), 1);
    EXPECT_EQ(*titles.rbegin(), static_cast<int>(titles.size()));
}

TEST_P(LocaleFileTest, PlaceholdersAreExactlyTheParametersOfEachKey) {
    for (const auto& [key, value] : leaves_) {
        const auto text = value.get<std::string>();
        std::set<std::string> names;
        for (std::size_t open = text.find("${"); open != std::string::npos;
             open = text.find("${", open + 2)) {
            const std::size_t close = text.find('}', open);
            ASSERT_NE(close, std::string::npos) << key << " has an unclosed placeholder";
            names.insert(text.substr(open + 2, close - open - 2));
        }
        const auto expected = parameterizedKeys().find(key);
        if (expected == parameterizedKeys().end()) {
            EXPECT_TRUE(names.empty()) << key << " has a placeholder nobody fills";
        } else {
            EXPECT_EQ(names, std::set<std::string>{expected->second}) << key;
        }
    }
    EXPECT_EQ(table_.text("status.cannotLaunch", {{"appName", "Notes"}}).find("${"),
              std::string::npos);
}

TEST_P(LocaleFileTest, KeywordListsClassifyTheStatusTexts) {
    const std::set<std::string> errors{"accessibilityRequired",
                                       "browserInputNotFound",
                                       "cannotLaunch",
                                       "chatgptCannotLaunch",
                                       "chatgptNoWindow",
                                       "chatgptNotActive",
                                       "chatgptNotInstalled",
                                       "chatgptResponding",
                                       "chromeNotInstalled",
                                       "chromePermission",
                                       "clipboardFailed",
                                       "copyFailed",
                                       "fileCreateFailed",
                                       "fileOpenFailed",
                                       "finderError",
                                       "focusFailed",
                                       "noBrowser",
                                       "noDesktopSession",
                                       "noSelection",
                                       "noTargetApp",
                                       "pageLoadTimeout",
                                       "settingsReset",
                                       "settingsTooLarge",
                                       "systemEventsFailed",
                                       "targetAppNotRunning",
                                       "timeout",
                                       "unknownError"};
    const std::set<std::string> successes{"broughtToFront", "fileCreated", "fileOpened", "sent"};
    const std::set<std::string> neutrals{
        "bringToFront", "captureCancelled",  "creatingFile", "loadingPage", "openingBrowser",
        "openingFile",  "selectCaptureArea", "sending",      "standby",     "x11OnWayland"};
    // Parameter values that carry no keyword of either language.
    const TextParams params{{"appName", "Notes"},
                            {"fileName", "NewFile.txt"},
                            {"result", "x"},
                            {"msg", "x"},
                            {"path", "/home/u/.config/orvex/settings.json.unreadable-1"}};
    // Names users give their files and applications, holding words of the error texts.
    const TextParams wordyNames{{"appName", "Error Reporter エラー Failed"},
                                {"fileName", "error-log failed エラー.txt"}};
    const auto errorKeywords = table_.text("statusClassification.errorKeywords");
    const auto successKeywords = table_.text("statusClassification.successKeywords");
    ASSERT_FALSE(parseKeywordList(errorKeywords).empty());
    ASSERT_FALSE(parseKeywordList(successKeywords).empty());

    for (const auto& name : requiredKeys().at("status")) {
        StatusClass expected;
        if (errors.contains(name)) {
            expected = StatusClass::error;
        } else if (successes.contains(name)) {
            expected = StatusClass::success;
        } else {
            ASSERT_TRUE(neutrals.contains(name)) << "status." << name << " has no expected class";
            expected = StatusClass::neutral;
        }
        for (const TextParams& values : {params, wordyNames}) {
            const auto message = table_.text("status." + name, values);
            EXPECT_EQ(statusStyle(message, false, errorKeywords, successKeywords).statusClass,
                      expected)
                << "status." << name << ": " << message;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, LocaleFileTest, ::testing::Values("ja", "en"));

TEST(LocaleFilesTest, BothLanguagesHoldTheSameKeys) {
    std::map<std::string, Json> ja;
    std::map<std::string, Json> en;
    collectLeaves(loadLocaleJson("ja"), "", ja);
    collectLeaves(loadLocaleJson("en"), "", en);
    std::set<std::string> jaKeys;
    std::set<std::string> enKeys;
    for (const auto& entry : ja) {
        jaKeys.insert(entry.first);
    }
    for (const auto& entry : en) {
        enKeys.insert(entry.first);
    }
    EXPECT_EQ(jaKeys, enKeys);
}

TEST(LocaleFilesTest, BuildPlacesTheFilesBesideTheProgramsThatLoadThem) {
    const char* binaryDir = std::getenv("ORVEX_BINARY_DIR");
    if (binaryDir == nullptr) {
        GTEST_SKIP() << "ORVEX_BINARY_DIR is set by CTest";
    }
    const std::filesystem::path copies = std::filesystem::path(binaryDir) / "bin/resources/locales";
    for (const char* code : {"ja", "en"}) {
        std::string error;
        const auto source = readWholeFile(
            i18n_test::sourceLocaleDirectory() / (std::string(code) + ".json"), &error);
        const auto copy = readWholeFile(copies / (std::string(code) + ".json"), &error);
        ASSERT_TRUE(source && copy) << code << ": " << error;
        EXPECT_EQ(*source, *copy) << code;
    }
}

TEST(LocaleDirectoryTest, SitsBesideTheRunningExecutable) {
    const auto executable = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(executableDirectory(), executable.parent_path());
    EXPECT_EQ(localeDirectory(), executable.parent_path() / "resources" / "locales");
    EXPECT_EQ(localeDirectory(std::filesystem::path("/opt/locales")), "/opt/locales");
}

}  // namespace
}  // namespace orvex

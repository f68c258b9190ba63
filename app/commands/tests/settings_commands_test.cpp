#include <gtest/gtest.h>

#include "app/commands/tests/command_fixture.h"
#include "base/log.h"

namespace orvex::commands_test {
namespace {

class SettingsCommands : public CommandFixture {
  protected:
    void SetUp() override { startWithSampleList(); }
};

// The answers are checked through orvex-cli (app/ui/e2e); here, what a change does inside.
TEST_F(SettingsCommands, LanguageIsStoredAndAppliedAndAnImportLeavesItInUse) {
    ask("settings.language", {{"set", "ja"}});
    EXPECT_EQ(i18n->currentLang(), "ja");
    EXPECT_EQ(i18n->text("settings.newPreset"), "新しいプリセット");
    EXPECT_EQ(stored().language, "ja");
    EXPECT_EQ(stored().tutorialCompleted, true);
    expectSaved();

    // What an import stores is checked in app/store/tests; here, that the language in use
    // stays although the file it stores has none.
    const std::string source = (dir / "import.json").string();
    writeText(source, R"({"presets": [{"id": "z", "label": "Zed"}]})");
    ASSERT_TRUE(ask("settings.import", {{"path", source}}).success);
    EXPECT_EQ(state->presets()[0].preset()->label, "Zed");
    EXPECT_FALSE(stored().language);
    EXPECT_EQ(i18n->currentLang(), "ja");
}

TEST_F(SettingsCommands, AutoIsAnsweredAsGivenButStoredAsTheDetectedCode) {
    preferredLanguages = {"ja-JP", "en-US"};
    const CLIResponse set = ask("settings.language", {{"set", "auto"}});
    EXPECT_EQ(set.data->language, "auto");
    EXPECT_EQ(stored().language, "ja");
    EXPECT_EQ(i18n->currentLang(), "ja");
    EXPECT_EQ(ask("settings.language").data->language, "ja");
}

TEST_F(SettingsCommands, AnUnsupportedCodeIsStoredAndEveryTextFallsBackToItsKey) {
    ScopedLogCapture capture;
    EXPECT_TRUE(ask("settings.language", {{"set", "xx"}}).success);
    EXPECT_EQ(stored().language, "xx");
    EXPECT_EQ(i18n->currentLang(), "xx");
    EXPECT_EQ(i18n->text("settings.newPreset"), "settings.newPreset");
    EXPECT_TRUE(capture.console().contains("Failed to load locale: xx"));
    // Commands keep working and use the keys as texts.
    EXPECT_EQ(ask("preset.create").data->preset->label, "settings.newPreset");
}

}  // namespace
}  // namespace orvex::commands_test

#include <gtest/gtest.h>

#include "app/commands/tests/command_fixture.h"
#include "base/log.h"

namespace orvex::commands_test {
namespace {

class SettingsCommands : public CommandFixture {
  protected:
    void SetUp() override { startWithSampleList(); }
};

// What an import stores is checked in app/store/tests; here, that it leaves the language
// in use alone although the file it stores has none.
TEST_F(SettingsCommands, ImportLeavesTheLanguageInUse) {
    ask("settings.language", {{"set", "ja"}});
    const std::string source = (dir / "import.json").string();
    writeText(source, R"({"presets": [{"id": "z", "label": "Zed"}]})");
    ASSERT_TRUE(ask("settings.import", {{"path", source}}).success);
    EXPECT_EQ(state->presets()[0].preset()->label, "Zed");
    EXPECT_FALSE(stored().language);
    EXPECT_EQ(i18n->currentLang(), "ja");
}

TEST_F(SettingsCommands, LanguageIsStoredAppliedAndReadBack) {
    const CLIResponse set = ask("settings.language", {{"set", "ja"}});
    EXPECT_EQ(messageOf(set), "Language set to: ja");
    EXPECT_EQ(set.data->language, "ja");
    EXPECT_EQ(i18n->currentLang(), "ja");
    EXPECT_EQ(i18n->text("settings.newPreset"), "新しいプリセット");
    EXPECT_EQ(stored().language, "ja");
    EXPECT_EQ(stored().tutorialCompleted, true);
    EXPECT_EQ(storedPresetsJson(), presetsJson(state->presets()));

    ask("settings.language", {{"set", "en"}});
    const CLIResponse get = ask("settings.language");
    ASSERT_TRUE(get.success);
    EXPECT_EQ(get.data->language, "en");
    EXPECT_FALSE(get.data->message);
}

TEST_F(SettingsCommands, AutoIsAnsweredAsGivenButStoredAsTheDetectedCode) {
    preferredLanguages = {"ja-JP", "en-US"};
    const CLIResponse set = ask("settings.language", {{"set", "auto"}});
    EXPECT_EQ(messageOf(set), "Language set to: auto");
    EXPECT_EQ(set.data->language, "auto");
    EXPECT_EQ(stored().language, "ja");
    EXPECT_EQ(i18n->currentLang(), "ja");
    EXPECT_EQ(ask("settings.language").data->language, "ja");
}

TEST_F(SettingsCommands, AnUnsupportedCodeIsStoredAndEveryTextFallsBackToItsKey) {
    ScopedLogCapture capture;
    const CLIResponse set = ask("settings.language", {{"set", "xx"}});
    EXPECT_EQ(messageOf(set), "Language set to: xx");
    EXPECT_EQ(stored().language, "xx");
    EXPECT_EQ(i18n->currentLang(), "xx");
    EXPECT_EQ(i18n->text("settings.newPreset"), "settings.newPreset");
    EXPECT_TRUE(capture.console().contains("Failed to load locale: xx"));
    // Commands keep working and use the keys as texts.
    EXPECT_EQ(ask("preset.create").data->preset->label, "settings.newPreset");
}

}  // namespace
}  // namespace orvex::commands_test

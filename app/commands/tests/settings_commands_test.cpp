#include <gtest/gtest.h>

#include "app/commands/tests/command_fixture.h"
#include "base/log.h"

namespace orvex::commands_test {
namespace {

class SettingsCommands : public CommandFixture {
  protected:
    void SetUp() override { startWithSampleList(); }
};

TEST_F(SettingsCommands, ExportWritesTheSettingsFileFormToThePath) {
    EXPECT_EQ(ask("settings.export").error, "Missing param: path");

    const std::string target = (dir / "backup.json").string();
    writeText(target, "old contents");
    EXPECT_EQ(messageOf(ask("settings.export", {{"path", target}})), "Exported to: " + target);
    // The settings as read (read-time rules applied), in the file form.
    EXPECT_EQ(readText(target), encodeAppSettingsText(settings->load()));
    EXPECT_NE(readText(target).find("\"id\": \"p2\""), std::string::npos);

    const std::string nowhere = (dir / "missing-dir" / "x.json").string();
    const CLIResponse failed = ask("settings.export", {{"path", nowhere}});
    EXPECT_FALSE(failed.success);
    ASSERT_TRUE(failed.error);
    EXPECT_TRUE(failed.error->starts_with("Export failed: ")) << *failed.error;
    EXPECT_GT(failed.error->size(), std::string("Export failed: ").size());
}

TEST_F(SettingsCommands, ExportWithoutASettingsFileWritesTheFactoryPresets) {
    std::filesystem::remove(settingsFile);
    const std::string target = (dir / "factory.json").string();
    ASSERT_TRUE(ask("settings.export", {{"path", target}}).success);
    const auto exported =
        std::get<AppSettings>(decodeAppSettings(std::string_view(readText(target))));
    EXPECT_EQ(readText(target),
              encodeAppSettingsText(AppSettings{settings->defaultPresets(), {}, {}}));
    EXPECT_EQ(exported.presets.front().preset()->label, "Dictionary");
    EXPECT_FALSE(exported.language);
    EXPECT_FALSE(std::filesystem::exists(settingsFile));
}

TEST_F(SettingsCommands, ImportReplacesListAndFileButNotTheLanguageInUse) {
    EXPECT_EQ(ask("settings.import").error, "Missing param: path");

    const std::string source = (dir / "import.json").string();
    writeText(source, R"({"presets": [{"id": "z", "label": "Zed", "destination": "chatgpt"}]})");
    EXPECT_EQ(messageOf(ask("settings.import", {{"path", source}})), "Imported from: " + source);
    ASSERT_EQ(state->presets().size(), 1u);
    EXPECT_EQ(state->presets()[0].preset()->label, "Zed");
    EXPECT_EQ(state->presets()[0].preset()->destination, "chatgpt-app");  // migrated
    // Saved as imported: neither tutorialCompleted nor language survive from before.
    const AppSettings after = stored();
    EXPECT_EQ(after.presets, state->presets());
    EXPECT_FALSE(after.language);
    EXPECT_FALSE(after.tutorialCompleted);
    EXPECT_EQ(i18n->currentLang(), "en");
    ASSERT_EQ(registrations.size(), 1u);
    EXPECT_EQ(registrations[0].front().id, "z");
}

TEST_F(SettingsCommands, ImportOfABrokenFileChangesNothing) {
    const auto before = state->presets();
    const std::string fileBefore = readText(settingsFile);
    const std::string source = (dir / "broken.json").string();
    writeText(source, "this is not json");
    for (const std::string& path : {source, (dir / "absent.json").string()}) {
        const CLIResponse failed = ask("settings.import", {{"path", path}});
        EXPECT_FALSE(failed.success);
        ASSERT_TRUE(failed.error);
        EXPECT_TRUE(failed.error->starts_with("Import failed: ")) << *failed.error;
    }
    EXPECT_EQ(state->presets(), before);
    EXPECT_EQ(readText(settingsFile), fileBefore);
    EXPECT_TRUE(registrations.empty());
}

TEST_F(SettingsCommands, ResetRestoresFactoryPresetsKeepingTutorialAndLanguage) {
    EXPECT_EQ(messageOf(ask("settings.reset")), "Reset to defaults");
    const Json factory = presetsJson(settings->defaultPresets());
    EXPECT_EQ(storedPresetsJson(), factory);
    // The state shows the list read back from the file.
    EXPECT_EQ(state->presets(), settings->load().presets);
    ASSERT_EQ(state->presets().size(), 4u);
    EXPECT_EQ(state->presets()[3].preset()->label, "Ask Several AIs");
    const AppSettings after = stored();
    EXPECT_EQ(after.tutorialCompleted, true);
    EXPECT_EQ(after.language, "en");
    EXPECT_EQ(registrations.size(), 1u);
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

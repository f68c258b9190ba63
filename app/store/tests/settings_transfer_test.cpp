#include "app/store/settings_transfer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/store/tests/store_fixture.h"
#include "base/log.h"

namespace orvex {
namespace {

using testing::readText;
using testing::StoreFixture;
using testing::writeText;

const char* kStored = R"({"language": "ja", "tutorialCompleted": true, "presets": [
    {"id": "s1", "label": "Stored", "shortcut": "Alt+S"}]})";

TEST(SettingsExport, WritesTheFileContentNotTheMemoryListPrivately) {
    for (ExportWrite how : {ExportWrite::direct, ExportWrite::atomic}) {
        StoreFixture f;
        writeText(f.settingsFile, kStored);
        auto state = f.makeState();
        state->setPresets({});  // memory differs from the file
        auto target = f.dir / "export.json";
        writeText(target, "old content that is longer than nothing at all, to be replaced");
        ::chmod(target.c_str(), 0644);

        EXPECT_EQ(exportSettingsTo(f.settings, target, how), std::nullopt);
        EXPECT_EQ(readText(target), encodeAppSettingsText(f.settings.load()));
        struct stat info {};
        ASSERT_EQ(::stat(target.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u);
        auto exported = importSettingsFrom(target);
        ASSERT_TRUE(std::holds_alternative<AppSettings>(exported));
        EXPECT_EQ(std::get<AppSettings>(exported).presets[0].id(), "s1");
        EXPECT_EQ(std::get<AppSettings>(exported).language, "ja");
    }
}

TEST(SettingsImport, UnreadableFileIsRefusedWithADescription) {
    StoreFixture f;
    writeText(f.dir / "bad.json", "this is not JSON");
    writeText(f.dir / "folder.json", R"({"presets": [{"type": "folder", "id": "F"}]})");
    for (const char* name : {"bad.json", "folder.json", "missing.json"}) {
        auto result = importSettingsFrom(f.dir / name);
        ASSERT_TRUE(std::holds_alternative<DecodeError>(result)) << name;
        EXPECT_FALSE(std::get<DecodeError>(result).description.empty());
    }
}

TEST(SettingsImport, AppliedAsReadThenShownFromTheFile) {
    StoreFixture f;
    writeText(f.settingsFile, kStored);
    auto state = f.makeState();
    writeText(f.dir / "import.json", R"({"tutorialCompleted": false, "presets": [
        {"label": "No id", "shortcut": "Alt+N", "destination": "claude"},
        {"type": "folder", "id": "F", "label": "Folder", "open": true}]})");

    auto imported = importSettingsFrom(f.dir / "import.json");
    ASSERT_TRUE(std::holds_alternative<AppSettings>(imported));
    applyImport(*state, std::get<AppSettings>(imported));

    AppSettings saved = f.stored();
    EXPECT_FALSE(saved.language.has_value());
    EXPECT_EQ(saved.tutorialCompleted, false);
    ASSERT_EQ(saved.presets.size(), 2u);
    // The fresh identifier given at import is the one on file and in memory.
    EXPECT_EQ(saved.presets[0].id(), std::get<AppSettings>(imported).presets[0].id());
    EXPECT_EQ(state->presets(), saved.presets);
    EXPECT_EQ(saved.presets[0].preset()->destinations, std::vector<std::string>{"claude-app"});
    ASSERT_EQ(f.registrations.size(), 1u);
    ASSERT_EQ(f.registrations[0].size(), 1u);
    EXPECT_EQ(f.registrations[0][0].shortcut, "Alt+N");
}

TEST(SettingsReset, FactoryPresetsKeepStoredTutorialAndLanguage) {
    StoreFixture f;
    writeText(f.settingsFile, kStored);
    f.settings.setFactoryTexts([](const std::string& key) { return "ja:" + key; });
    auto state = f.makeState();

    resetToFactory(*state);

    AppSettings saved = f.stored();
    EXPECT_EQ(saved.language, "ja");
    EXPECT_EQ(saved.tutorialCompleted, true);
    ASSERT_EQ(saved.presets.size(), 4u);
    EXPECT_EQ(saved.presets[0].preset()->label, "ja:defaultPresets.dictionary");
    EXPECT_EQ(state->presets(), saved.presets);
    ASSERT_EQ(f.registrations.size(), 1u);
    EXPECT_EQ(f.registrations[0].size(), 4u);
}

}  // namespace
}  // namespace orvex

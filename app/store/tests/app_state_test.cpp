#include "app/store/app_state.h"

#include <gtest/gtest.h>

#include "app/store/tests/store_fixture.h"
#include "base/log.h"

namespace orvex {
namespace {

using namespace std::chrono_literals;
using testing::StoreFixture;
using testing::writeText;

const char* kFolderFile = R"({"language": "ja", "tutorialCompleted": true, "presets": [
    {"type": "folder", "id": "A", "label": "A", "open": true},
    {"id": "1", "folderId": "A", "label": "One", "shortcut": "Alt+1"},
    {"id": "2", "label": "Two"}]})";

TEST(AppStateStartup, LoadsTheListWithoutWriting) {
    StoreFixture f;
    writeText(f.settingsFile, kFolderFile);
    auto state = f.makeState();

    ASSERT_EQ(state->presets().size(), 3u);
    auto all = state->allPresets();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].id, "1");
    EXPECT_EQ(all[1].id, "2");
    EXPECT_TRUE(f.registrations.empty());
    EXPECT_EQ(testing::readText(f.settingsFile), kFolderFile);
}

TEST(AppStateObservers, ToldBeforeAndAfterEachAssignment) {
    StoreFixture f;
    auto state = f.makeState();
    std::vector<std::string> seen;
    auto id = state->addObserver(
        {[&](StateField field) {
             if (field == StateField::alwaysOnTop) {
                 seen.push_back(std::string("will:") + (state->alwaysOnTop() ? "on" : "off"));
             }
         },
         [&](StateField field) {
             if (field == StateField::alwaysOnTop) {
                 seen.push_back(std::string("did:") + (state->alwaysOnTop() ? "on" : "off"));
             }
         }});
    state->setAlwaysOnTop(true);
    state->removeObserver(id);
    state->setAlwaysOnTop(false);
    EXPECT_EQ(seen, (std::vector<std::string>{"will:off", "did:on"}));
}

TEST(AppStateShortcut, BurstOfEditsSavesOnceAfterTheLast) {
    StoreFixture f;
    writeText(f.settingsFile, kFolderFile);
    auto state = f.makeState();

    state->updateShortcut("1", "Alt+X");
    f.mainQueue.advance(200ms);
    state->updateShortcut("1", "Alt+Y");
    f.mainQueue.advance(200ms);
    state->updateShortcut("1", "Alt+Z");
    EXPECT_EQ(state->presets()[1].preset()->shortcut, "Alt+Z");

    f.mainQueue.advance(599ms);
    EXPECT_TRUE(f.registrations.empty());
    EXPECT_EQ(f.stored().presets[1].preset()->shortcut, "Alt+1");

    f.mainQueue.advance(1ms);
    ASSERT_EQ(f.registrations.size(), 1u);
    EXPECT_EQ(f.registrations[0][0].shortcut, "Alt+Z");
    AppSettings saved = f.stored();
    EXPECT_EQ(saved.presets[1].preset()->shortcut, "Alt+Z");
    EXPECT_EQ(saved.language, "ja");
    EXPECT_EQ(saved.tutorialCompleted, true);

    f.mainQueue.advance(5s);
    EXPECT_EQ(f.registrations.size(), 1u);
}

TEST(AppStateShortcut, FolderOrUnknownIdChangesNothingAndStartsNoTimer) {
    StoreFixture f;
    writeText(f.settingsFile, kFolderFile);
    auto state = f.makeState();
    auto before = state->presets();
    int notifications = 0;
    state->addObserver({[&](StateField) { ++notifications; }, {}});

    state->updateShortcut("A", "Alt+F");
    state->updateShortcut("missing", "Alt+F");
    EXPECT_EQ(state->presets(), before);
    EXPECT_EQ(notifications, 0);
    f.mainQueue.advance(1s);
    EXPECT_TRUE(f.registrations.empty());
}

TEST(AppStateShortcut, PendingSaveIsDroppedWhenTheStateGoesAway) {
    StoreFixture f;
    auto state = f.makeState();
    state->updateShortcut("2", "Alt+Q");
    state.reset();
    f.mainQueue.advance(1s);
    EXPECT_TRUE(f.registrations.empty());
    EXPECT_FALSE(std::filesystem::exists(f.settingsFile));
}

// Statuses set off the main queue are checked through their echo (app/ui/tests).
// Keeping stored values is checked through the commands (app/commands/tests); here, keeping
// their absence, and what an unreadable file leaves.
TEST(AppStatePersist, KeepsTheAbsenceOfLanguageAndTutorial) {
    {
        StoreFixture f;
        writeText(f.settingsFile, R"({"presets": [{"id": "9"}]})");
        auto state = f.makeState();
        state->persistPresets();
        std::string text = testing::readText(f.settingsFile);
        EXPECT_EQ(text.find("language"), std::string::npos);
        EXPECT_EQ(text.find("tutorialCompleted"), std::string::npos);
        EXPECT_EQ(f.stored().presets, state->presets());
    }
    {
        // An unreadable file loses its stored values at the next save.
        StoreFixture f;
        writeText(f.settingsFile, R"({"language": "en", "presets": 3})");
        auto state = f.makeState();
        state->persistPresets();
        EXPECT_FALSE(f.stored().language.has_value());
        EXPECT_EQ(f.stored().presets.size(), 4u);
    }
}

}  // namespace
}  // namespace orvex

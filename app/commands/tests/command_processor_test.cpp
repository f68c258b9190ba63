// What the answers of the commands say, and what they do to the settings file, is checked
// through orvex-cli and the running program (app/ui/e2e); here, what only shows inside:
// threads, virtual time, a failing save and the notifications.

#include <gtest/gtest.h>

#include "app/commands/tests/command_fixture.h"
#include "app/commands/window_view_commands.h"
#include "protocol/cli_response.h"

namespace orvex::commands_test {
namespace {

class Commands : public CommandFixture {
  protected:
    void SetUp() override { startWithSampleList(); }
};

TEST_F(Commands, ASaveTooLargeToReadBackFailsTheCommandAndChangesNothing) {
    const std::string prompt(SettingsManager::kMaxSettingsFileBytes / 2, 'x');

    EXPECT_TRUE(ask("preset.create", {{"label", "Half"}, {"fixedPrompt", prompt}}).success);
    const auto withHalf = state->presets();
    const std::string fileWithHalf = readText(settingsFile);
    const CLIResponse refused = ask("preset.create", {{"label", "Over"}, {"fixedPrompt", prompt}});

    EXPECT_FALSE(refused.success);
    EXPECT_TRUE(refused.error.value_or("").starts_with("Failed to save settings: "));
    EXPECT_EQ(state->presets(), withHalf);
    EXPECT_EQ(readText(settingsFile), fileWithHalf);
    EXPECT_EQ(registrations.back(), state->allPresets());
}

TEST_F(Commands, ALanguageChangeKeepsTheRestOfTheSettingsFile) {
    AppSettings expected = settings->load();
    expected.language = "ja";
    EXPECT_TRUE(ask("settings.language", {{"set", "ja"}}).success);
    EXPECT_EQ(settings->load(), expected);
}

TEST_F(Commands, ExecuteAnswersOnlyAfterTheRunWithTheLabelItHadThen) {
    send("preset.execute", {{"id", "p2"}});
    send("preset.execute", {{"id", "p1"}});
    ask("preset.update", {{"id", "p1"}, {"label", "Changed meanwhile"}});
    ASSERT_EQ(answers.size(), 1u);  // only the update's
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0], *state->presets().at(2).preset());

    // A run ends on a task thread of its own.
    std::thread([done = pendingRuns[0]] { done(std::nullopt); }).join();
    pendingRuns[1](std::string("No text is selected"));
    ASSERT_EQ(answers.size(), 3u);
    EXPECT_EQ(answers[1].id, "cmd-1");
    EXPECT_EQ(messageOf(answers[1]), "Executed: Second");
    EXPECT_EQ(answers[2].error, "Executed with error: No text is selected");
    // A runner that reports twice still gets one answer out.
    pendingRuns[1](std::nullopt);
    EXPECT_EQ(answers.size(), 3u);
}

// Settings open at once; the preset follows after the delay, as it was when the command
// arrived. A refused edit posts nothing.
TEST_F(Commands, EditOpensSettingsThenNamesThePresetAfterTheDelay) {
    std::vector<std::string> seen;
    std::optional<PresetData> named;
    for (const char* name : {notifications::showMainWindow, notifications::openSettings,
                             notifications::editPresetById}) {
        notifications->addObserver(name, [&](const AppNotification& n) {
            seen.emplace_back(n.name);
            named = n.preset;
        });
    }
    ask("view.settings.edit", {{"id", "f1"}});
    EXPECT_TRUE(seen.empty());

    ask("view.settings.edit", {{"id", "p2"}});
    ask("preset.update", {{"id", "p2"}, {"label", "Later"}});
    mainQueue.advance(kEditPresetDelay - std::chrono::milliseconds(1));
    EXPECT_EQ(seen, (std::vector<std::string>{"showMainWindow", "openSettings"}));
    mainQueue.advance(std::chrono::milliseconds(1));
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[2], "editPresetById");
    ASSERT_TRUE(named);
    EXPECT_EQ(named->label, "Second");
}

}  // namespace
}  // namespace orvex::commands_test

#include <gtest/gtest.h>

#include "app/commands/tests/command_fixture.h"
#include "protocol/cli_response.h"

namespace orvex::commands_test {
namespace {

using Strings = std::vector<std::string>;

class PresetCommands : public CommandFixture {
  protected:
    void SetUp() override { startWithSampleList(); }

    const PresetData& presetAt(std::size_t index) { return *state->presets().at(index).preset(); }
};

// The answers' texts and a create with parameters are checked through orvex-cli (app/ui/e2e).
TEST_F(PresetCommands, CreateWithoutParamsMakesTheBlankPresetFirstAndSavesIt) {
    const CLIResponse created = ask("preset.create");
    ASSERT_TRUE(created.success && created.data->preset);
    EXPECT_EQ(created.data->preset->label, "New Preset");
    // Only the named fields: a message and the preset.
    EXPECT_FALSE(created.data->presets || created.data->folders || created.data->status ||
                 created.data->language);

    ASSERT_EQ(state->presets().size(), 4u);
    EXPECT_EQ(presetAt(0).id, created.data->preset->id);
    // Stored without destinations, read back with the single one.
    EXPECT_TRUE(presetAt(0).destinations.empty());
    EXPECT_EQ(created.data->preset->destinations, Strings{"chatgpt-app"});
    expectSaved();
    EXPECT_EQ(stored().tutorialCompleted, true);
    ASSERT_EQ(registrations.size(), 1u);
    EXPECT_EQ(registrations[0].size(), 3u);
}

TEST_F(PresetCommands, UpdateChangesOnlyGivenFieldsInPlace) {
    ask("preset.update", {{"id", "p2"}, {"autoSend", "false"}});
    const CLIResponse updated =
        ask("preset.update",
            {{"id", "p2"}, {"label", "Renamed"}, {"destinations", "chatgpt-app,,claude-app"}});
    EXPECT_EQ(updated.data->preset->label, "Renamed");
    EXPECT_FALSE(updated.data->preset->autoSend);  // absent: the old value stays
    EXPECT_EQ(updated.data->preset->destinations, (Strings{"chatgpt-app", "claude-app"}));
    EXPECT_EQ(updated.data->preset->folderId, "f1");
    EXPECT_EQ(presetAt(2).label, "Renamed");
    expectSaved();
    EXPECT_EQ(registrations.size(), 2u);

    // The empty list reads back as the single destination; "" is an empty folder id.
    const CLIResponse cleared =
        ask("preset.update", {{"id", "p2"}, {"destinations", ""}, {"folderId", ""}});
    EXPECT_EQ(cleared.data->preset->destinations, Strings{"chatgpt-app"});
    EXPECT_EQ(presetAt(2).folderId, std::optional<std::string>(""));
    EXPECT_EQ(ask("preset.get", {{"id", "p2"}}).data->preset->folderId,
              std::optional<std::string>(""));
    EXPECT_EQ(ask("preset.list").data->folders->front().presetCount, 0);
}

TEST_F(PresetCommands, ASaveTooLargeToReadBackFailsTheCommandAndChangesNothing) {
    const std::string prompt(SettingsManager::kMaxSettingsFileBytes / 2, 'x');

    EXPECT_TRUE(ask("preset.create", {{"label", "Half"}, {"fixedPrompt", prompt}}).success);
    const auto withHalf = state->presets();
    const std::string fileWithHalf = readText(settingsFile);
    const CLIResponse refused = ask("preset.create", {{"label", "Over"}, {"fixedPrompt", prompt}});

    EXPECT_FALSE(refused.success);
    EXPECT_EQ(refused.error.value_or("").rfind("Failed to save settings: ", 0), 0u);
    EXPECT_EQ(state->presets(), withHalf);
    EXPECT_EQ(readText(settingsFile), fileWithHalf);
    EXPECT_EQ(registrations.back(), state->allPresets());
}

TEST_F(PresetCommands, DeleteRemovesEveryMatchAndAlwaysSaves) {
    EXPECT_TRUE(ask("preset.delete", {{"id", "unknown"}}).success);
    EXPECT_EQ(state->presets().size(), 3u);
    EXPECT_EQ(registrations.size(), 1u);

    // A folder goes; its presets stay, still naming it.
    EXPECT_TRUE(ask("preset.delete", {{"id", "f1"}}).success);
    ASSERT_EQ(state->presets().size(), 2u);
    EXPECT_EQ(presetAt(1).folderId, "f1");
    expectSaved();

    // Both lists are answered even when empty.
    ask("preset.delete", {{"id", "p1"}});
    ask("preset.delete", {{"id", "p2"}});
    const CLIResponse empty = ask("preset.list");
    ASSERT_TRUE(empty.data->presets && empty.data->folders);
    EXPECT_TRUE(empty.data->presets->empty());
    EXPECT_TRUE(empty.data->folders->empty());
}

TEST_F(PresetCommands, ExecuteAnswersOnlyAfterTheRun) {
    send("preset.execute", {{"id", "p2"}});
    mainQueue.runUntilIdle();
    EXPECT_TRUE(answers.empty());
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0], presetAt(2));

    // The run ends on a task thread of its own.
    std::thread([done = pendingRuns[0]] { done(std::nullopt); }).join();
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(messageOf(answers[0]), "Executed: Second");
    EXPECT_EQ(answers[0].id, "cmd-1");
}

TEST_F(PresetCommands, ExecuteReportsTheRunsErrorAsAFailure) {
    send("preset.execute", {{"id", "p1"}});
    // The answer names the label the preset had when the command arrived.
    ask("preset.update", {{"id", "p1"}, {"label", "Changed meanwhile"}});
    pendingRuns.at(0)(std::string("No text is selected"));
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_FALSE(answers[1].success);
    EXPECT_FALSE(answers[1].data);
    EXPECT_EQ(answers[1].error, "Executed with error: No text is selected");
    // A runner that reports twice still gets one answer out.
    pendingRuns[0](std::nullopt);
    EXPECT_EQ(answers.size(), 2u);
}

// Every refused command, each on the sample list: it fails with an error and no data, and
// changes nothing anywhere. The error texts themselves are checked through orvex-cli
// (app/ui/e2e).
TEST_F(PresetCommands, RefusedCommandsChangeNothing) {
    const std::string broken = (dir / "broken.json").string();
    writeText(broken, "this is not json");
    for (const char* name : {notifications::showMainWindow, notifications::openSettings,
                             notifications::editPresetById}) {
        notifications->addObserver(
            name, [this](const AppNotification& n) { ADD_FAILURE() << "posted " << n.name; });
    }
    const struct {
        const char* action;
        CommandParams params;
    } cases[] = {
        {"Preset.List", {}},
        {"preset.get", {}},
        {"preset.get", {{"id", ""}}},  // supplied but empty is still supplied
        {"preset.get", {{"id", "f1"}}},
        {"preset.update", {{"label", "x"}}},
        {"preset.update", {{"id", "f1"}, {"label", "x"}}},
        {"preset.update", {{"id", "nope"}}},
        {"preset.delete", {}},
        {"preset.execute", {}},
        {"preset.execute", {{"id", "f1"}}},
        {"folder.rename", {{"id", "f1"}}},
        {"folder.rename", {{"name", "x"}}},
        {"folder.rename", {{"id", "p1"}, {"name", "x"}}},
        {"folder.delete", {}},
        {"settings.export", {}},
        {"settings.export", {{"path", (dir / "missing-dir" / "x.json").string()}}},
        {"settings.import", {}},
        {"settings.import", {{"path", broken}}},
        {"settings.import", {{"path", (dir / "absent.json").string()}}},
        {"view.settings.edit", {}},
        {"view.settings.edit", {{"id", "f1"}}},
    };
    const auto before = state->presets();
    const std::string fileBefore = readText(settingsFile);
    for (const auto& c : cases) {
        const CLIResponse answer = ask(c.action, c.params);
        EXPECT_FALSE(answer.success) << c.action;
        EXPECT_FALSE(answer.data) << c.action;
        EXPECT_FALSE(answer.error.value_or("").empty()) << c.action;
    }
    mainQueue.advance(std::chrono::seconds(1));
    EXPECT_EQ(state->presets(), before);
    EXPECT_EQ(readText(settingsFile), fileBefore);
    EXPECT_EQ(i18n->currentLang(), "en");
    EXPECT_TRUE(registrations.empty());
    EXPECT_TRUE(runs.empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "missing-dir"));
}

}  // namespace
}  // namespace orvex::commands_test

#include <gtest/gtest.h>

#include "app/commands/tests/command_fixture.h"
#include "base/log.h"
#include "protocol/cli_response.h"

namespace orvex::commands_test {
namespace {

using Strings = std::vector<std::string>;

class PresetCommands : public CommandFixture {
  protected:
    void SetUp() override { startWithSampleList(); }

    const PresetData& presetAt(std::size_t index) { return *state->presets().at(index).preset(); }
};

TEST_F(PresetCommands, CreateWithoutParamsMakesTheBlankPresetFirstAndSavesIt) {
    const CLIResponse created = ask("preset.create");
    EXPECT_EQ(messageOf(created), "Created");
    ASSERT_TRUE(created.data->preset);
    const CLIPresetDetail& detail = *created.data->preset;
    EXPECT_EQ(detail.id.size(), 36u);
    EXPECT_EQ(detail.label, "New Preset");
    EXPECT_EQ(detail.destination, "chatgpt-app");
    EXPECT_EQ(detail.destinations, Strings{"chatgpt-app"});
    EXPECT_EQ(detail.actionType, "ai");
    EXPECT_TRUE(detail.autoSend);
    EXPECT_EQ(detail.shortcut, "");
    EXPECT_FALSE(detail.folderId);
    // Only the named fields: a message and the preset.
    EXPECT_FALSE(created.data->presets || created.data->folders || created.data->status ||
                 created.data->language);

    ASSERT_EQ(state->presets().size(), 4u);
    EXPECT_EQ(presetAt(0).id, detail.id);
    EXPECT_TRUE(presetAt(0).destinations.empty());
    EXPECT_EQ(storedPresetsJson(), presetsJson(state->presets()));
    EXPECT_EQ(stored().tutorialCompleted, true);
    EXPECT_EQ(stored().language, "en");
    ASSERT_EQ(registrations.size(), 1u);
    EXPECT_EQ(registrations[0].size(), 3u);

    const CLIResponse listed = ask("preset.list");
    EXPECT_EQ(listed.data->presets->front().id, detail.id);
    EXPECT_EQ(listed.data->presets->front().destinations, Strings{"chatgpt-app"});
}

TEST_F(PresetCommands, CreateAppliesTheLabelRuleAndStaysFirstWhateverItsFolder) {
    EXPECT_EQ(ask("preset.create", {{"label", "   "}}).data->preset->label, "New Preset");
    const CLIResponse work =
        ask("preset.create", {{"label", " Work "}, {"folderId", "f1"}, {"useCapture", "TRUE"}});
    EXPECT_EQ(work.data->preset->label, " Work ");
    EXPECT_EQ(work.data->preset->folderId, "f1");
    EXPECT_FALSE(work.data->preset->useCapture);
    EXPECT_EQ(presetAt(0).label, " Work ");
}

TEST_F(PresetCommands, UpdateChangesOnlyGivenFieldsInPlace) {
    ask("preset.update", {{"id", "p2"}, {"autoSend", "false"}});
    const CLIResponse updated =
        ask("preset.update",
            {{"id", "p2"}, {"label", "Renamed"}, {"destinations", "chatgpt-app,,claude-app"}});
    EXPECT_EQ(messageOf(updated), "Updated");
    EXPECT_EQ(updated.data->preset->label, "Renamed");
    EXPECT_FALSE(updated.data->preset->autoSend);  // absent: the old value stays
    EXPECT_EQ(updated.data->preset->destinations, (Strings{"chatgpt-app", "claude-app"}));
    EXPECT_EQ(updated.data->preset->folderId, "f1");
    EXPECT_EQ(presetAt(2).label, "Renamed");
    EXPECT_EQ(storedPresetsJson(), presetsJson(state->presets()));
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

TEST_F(PresetCommands, UpdateAndGetFailWithoutChangingAnything) {
    const auto before = state->presets();
    EXPECT_EQ(ask("preset.update", {{"label", "x"}}).error, "Missing param: id");
    EXPECT_EQ(ask("preset.update", {{"id", "f1"}, {"label", "x"}}).error, "Preset not found: f1");
    EXPECT_EQ(ask("preset.update", {{"id", "nope"}}).error, "Preset not found: nope");
    EXPECT_EQ(ask("preset.get").error, "Missing param: id");
    // Supplied but empty is still supplied.
    const CLIResponse empty = ask("preset.get", {{"id", ""}});
    EXPECT_FALSE(empty.success);
    EXPECT_FALSE(empty.data);
    EXPECT_EQ(empty.error, "Preset not found: ");
    EXPECT_EQ(ask("preset.get", {{"id", "f1"}}).error, "Preset not found: f1");
    EXPECT_EQ(state->presets(), before);
    EXPECT_TRUE(registrations.empty());
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

TEST_F(PresetCommands, GetAnswersTheDetail) {
    const CLIResponse got = ask("preset.get", {{"id", "p1"}});
    ASSERT_TRUE(got.success);
    EXPECT_FALSE(got.data->message);
    const CLIPresetDetail& detail = *got.data->preset;
    EXPECT_EQ(detail.id, "p1");
    EXPECT_EQ(detail.label, "First");
    EXPECT_EQ(detail.shortcut, "Alt+1");
    EXPECT_EQ(detail.multiDestMode, "lastUsed");
    EXPECT_FALSE(detail.folderId);
}

TEST_F(PresetCommands, ListReportsFlattenedPresetsAndFolderCounts) {
    const CLIResponse listed = ask("preset.list");
    ASSERT_TRUE(listed.success);
    const auto& presets = *listed.data->presets;
    ASSERT_EQ(presets.size(), 2u);
    EXPECT_EQ(presets[0].id, "p1");
    EXPECT_FALSE(presets[0].folderId);
    EXPECT_EQ(presets[1].folderId, "f1");
    ASSERT_EQ(listed.data->folders->size(), 1u);
    EXPECT_EQ(listed.data->folders->front(), (CLIFolderSummary{"f1", "Folder", true, 1}));
    // A top-level preset's summary carries no folderId key at all.
    const Json encoded = encodeCLIResponse(listed);
    EXPECT_FALSE(encoded["data"]["presets"][0].contains("folderId"));
    EXPECT_FALSE(encoded["data"].contains("message"));

    // Both lists are present even when empty.
    ask("folder.ungroup");
    ask("preset.delete", {{"id", "p1"}});
    ask("preset.delete", {{"id", "p2"}});
    const CLIResponse empty = ask("preset.list");
    ASSERT_TRUE(empty.data->presets && empty.data->folders);
    EXPECT_TRUE(empty.data->presets->empty());
    EXPECT_TRUE(empty.data->folders->empty());
}

TEST_F(PresetCommands, DeleteRemovesEveryMatchAndAlwaysSaves) {
    EXPECT_EQ(ask("preset.delete").error, "Missing param: id");
    EXPECT_TRUE(registrations.empty());

    EXPECT_EQ(messageOf(ask("preset.delete", {{"id", "unknown"}})), "Deleted");
    EXPECT_EQ(state->presets().size(), 3u);
    EXPECT_EQ(registrations.size(), 1u);

    // A folder goes; its presets stay, still naming it.
    EXPECT_EQ(messageOf(ask("preset.delete", {{"id", "f1"}})), "Deleted");
    ASSERT_EQ(state->presets().size(), 2u);
    EXPECT_EQ(presetAt(1).folderId, "f1");
    EXPECT_EQ(storedPresetsJson(), presetsJson(state->presets()));
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

TEST_F(PresetCommands, ExecuteFailsAtOnceForMissingOrUnknownPresets) {
    EXPECT_EQ(ask("preset.execute").error, "Missing param: id");
    EXPECT_EQ(ask("preset.execute", {{"id", "f1"}}).error, "Preset not found: f1");
    EXPECT_TRUE(runs.empty());
}

TEST_F(PresetCommands, DispatchLogsEachActionAndRefusesUnknownOnes) {
    ScopedLogCapture capture;
    const CLIResponse unknown = ask("Preset.List");
    EXPECT_FALSE(unknown.success);
    EXPECT_EQ(unknown.error, "Unknown action: Preset.List");
    EXPECT_EQ(unknown.id, "cmd-1");
    ask("preset.list");
    EXPECT_TRUE(capture.system().contains("[CommandProcessor] action: Preset.List"));
    EXPECT_TRUE(capture.system().contains("[CommandProcessor] action: preset.list"));
    EXPECT_TRUE(processor->knows("debug.pick-input"));
    EXPECT_FALSE(processor->knows("preset.List"));
}

}  // namespace
}  // namespace orvex::commands_test

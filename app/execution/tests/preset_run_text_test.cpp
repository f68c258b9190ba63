// Whole AI-send presets in text mode: where the text comes from, how it reaches a native
// chat application, and how a failure reaches the caller and the status line.

#include "app/execution/tests/sim_execution_fixture.h"

namespace orvex::execution_test {
namespace {

const std::string kDesk =
    scenario({editor("Hello world", 6, 5), chatApp(kChatGPT, "ChatGPT", true)}, kEditor);
const std::string kOrvexInFront =
    scenario({editor("Hello world", 6, 5), chatApp(kChatGPT, "ChatGPT", true)}, "Orvex");

PresetData cut(PresetData preset) {
    preset.cutText = true;
    return preset;
}

using TextRuns = RunTest;
TEST_P(TextRuns, Run) {
    expectRun(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Text, TextRuns,
    ::testing::Values(
        // Source activated, copy, app activated, the paste script's own pause.
        RunCase{.name = "PromptAndSelectionGoToARunningChatApp",
                .desk = kDesk,
                .preset = aiPreset({"chatgpt-app"}, "Summarize:"),
                .statuses = {"status.sending", "status.sent"},
                .story = {"cmd+c->copy", "activate codex", "search --app codex", "cmd+v->paste",
                          "return->send"},
                .sleeps = {200ms, 300ms, 300ms, 300ms},
                .sent = {"codex: Summarize:\nworld"}},
        // Launch, activation, new chat, then the paste script's pause; pasted without the
        // prompt, and not sent.
        RunCase{.name = "AChatAppThatIsNotRunningIsLaunchedAndGetsANewChat",
                .desk = scenario({editor("Hello world", 6, 5), chatApp(kChatGPT, "ChatGPT", false)},
                                 kEditor),
                .preset = aiPreset({"chatgpt-app"}, "", /*autoSend=*/false),
                .statuses = {"status.sending", "status.sent"},
                .story = {"cmd+c->copy", "launch codex", "activate codex", "cmd+n->newChat",
                          "search --app codex", "cmd+v->paste"},
                .sleeps = {200ms, 300ms, 500ms, 300ms, 500ms, 300ms},
                .values = {{{kChatGPT, "input", "world"}}}},
        RunCase{.name = "ARunningChatAppWithoutWindowIsReopenedWithANewChat",
                .desk = scenario({editor("Hello world", 0, 5),
                                  chatApp(kChatGPT, "ChatGPT", true, false)},
                                 kEditor),
                .preset = aiPreset({"chatgpt-app"}),
                .statuses = {"status.sending", "status.sent"},
                .story = {"cmd+c->copy", "reopen codex", "activate codex", "cmd+n->newChat",
                          "search --app codex", "cmd+v->paste", "return->send"},
                .sleeps = {200ms, 300ms, 500ms, 300ms, 500ms, 300ms},
                .sent = {"codex: Hello"}},
        RunCase{.name = "CutRemovesTheSelectionFromTheSource",
                .desk = kDesk,
                .preset = cut(aiPreset({"chatgpt-app"})),
                .statuses = {"status.sending", "status.sent"},
                .story = {"cmd+x->cut", "activate codex", "search --app codex", "cmd+v->paste",
                          "return->send"},
                .sleeps = {200ms, 300ms, 300ms, 300ms},
                .sent = {"codex: world"},
                .values = {{{kEditor, "document", "Hello "}}}},
        RunCase{.name = "AnApplicationThatIgnoresCutIsAskedToCopyOnce",
                .desk = scenario({editor("Hello world", 6, 5, /*ignoresCut=*/true),
                                  chatApp(kChatGPT, "ChatGPT", true)},
                                 kEditor),
                .preset = cut(aiPreset({"chatgpt-app"})),
                .statuses = {"status.sending", "status.sent"},
                .story = {"cmd+x->ignored", "cmd+c->copy", "activate codex", "search --app codex",
                          "cmd+v->paste", "return->send"},
                .sleeps = {200ms, 300ms, 300ms, 300ms, 300ms},
                .sent = {"codex: world"},
                .values = {{{kEditor, "document", "Hello world"}}}},
        RunCase{.name = "ASelectionOfOnlyWhiteSpaceIsNoSelection",
                .desk = scenario({editor("a  \n  b", 1, 5), chatApp(kChatGPT, "ChatGPT", true)},
                                 kEditor),
                .preset = aiPreset({"chatgpt-app"}, "Prompt"),
                .statuses = {"!status.noSelection"},
                .story = {"cmd+c->copy"},
                .sleeps = {200ms, 300ms}},
        // The editor is brought back first (restore, settle), then copied from.
        RunCase{.name = "WithOrvexInFrontTheTextComesFromThePreviousApplication",
                .desk = kOrvexInFront,
                .preset = aiPreset({"chatgpt-app"}),
                .before = {kEditor, kSelf},
                .statuses = {"status.sending", "status.sent"},
                .story = {"activate editor", "cmd+c->copy", "activate codex", "search --app codex",
                          "cmd+v->paste", "return->send"},
                .sleeps = {100ms, 300ms, 200ms, 300ms, 300ms, 300ms},
                .sent = {"codex: world"}},
        RunCase{.name = "WithOrvexInFrontAndNoPreviousApplicationThereIsNothingToCopy",
                .desk = kOrvexInFront,
                .preset = aiPreset({"chatgpt-app"}),
                .statuses = {"!status.noTargetApp"}},
        RunCase{.name = "APreviousApplicationThatQuitIsReported",
                .desk = kOrvexInFront,
                .preset = aiPreset({"chatgpt-app"}),
                .before = {kEditor, kSelf},
                .quit = kEditor,
                .statuses = {"!status.targetAppNotRunning"}},
        // The permission prompt must not open behind the main window.
        RunCase{.name = "WithoutAccessibilityTheUserIsAskedAndNothingElseHappens",
                .desk = scenario({editor("Hello world", 6, 5), chatApp(kChatGPT, "ChatGPT", true)},
                                 kEditor, {{"permissions", {{"accessibility", "denied"}}}}),
                .preset = aiPreset({"chatgpt-app"}),
                .story = {"permissionPrompt accessibility"},
                .hidden = 1}),
    runName);

class TextSendTest : public SimExecutionFixture {};

// The main window comes forward only once the error is on the status line. lastError keeps
// only a thrown failure, not one the action reported, and each run starts without one.
TEST_F(TextSendTest, AThrownFailureIsShownBeforeTheWindowAndKeptAsTheLastError) {
    Json failing = chatApp(kChatGPT, "ChatGPT", false);
    failing["launchError"] = "ChatGPT is not running";
    load(scenario({editor("Hello world", 6, 5), failing}, kEditor));
    std::vector<Status> seenByWindow;
    notifications_.addObserver(notifications::showMainWindow, [&](const AppNotification&) {
        seenByWindow.push_back({appState_.statusMessage(), appState_.statusIsError()});
    });

    EXPECT_EQ(run(aiPreset({"chatgpt-app"})), text("status.chatgptCannotLaunch"));
    EXPECT_THAT(seenByWindow, ElementsAre(error("status.chatgptCannotLaunch")));
    EXPECT_EQ(executor_->lastError(), text("status.chatgptCannotLaunch"));
    // The source application is remembered for the next run, whatever became of this one.
    ASSERT_TRUE(tracker_->previousApp());
    EXPECT_EQ(tracker_->previousApp()->bundleIdentifier(), kEditor);

    PresetData missing = aiPreset({});
    missing.appName = "Nowhere";
    EXPECT_EQ(run(missing), text("status.cannotLaunch", {{"appName", "Nowhere"}}));
    EXPECT_EQ(executor_->lastError(), std::nullopt);
}

}  // namespace
}  // namespace orvex::execution_test

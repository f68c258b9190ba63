// Whole AI-send presets in text mode: where the text comes from and how it reaches a
// native chat application.

#include "app/execution/tests/sim_execution_fixture.h"

namespace orvex::execution_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class TextSendTest : public SimExecutionFixture {};

TEST_F(TextSendTest, PromptAndSelectionGoToARunningChatAppWithoutANewChat) {
    load(scenario({editor("Hello world", 6, 5), chatApp(kChatGPT, "ChatGPT", true)}, kEditor));

    EXPECT_EQ(run(aiPreset({"chatgpt-app"}, "Summarize:")), std::nullopt);

    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].appKey, kChatGPT);
    EXPECT_EQ(messages()[0].text, "Summarize:\nworld");
    EXPECT_THAT(events("newChat"), IsEmpty());
    EXPECT_THAT(events("launch"), IsEmpty());
    EXPECT_THAT(keystrokes(), ElementsAre("cmd+c->copy", "cmd+v->paste", "return->send"));
    // Source activated, copy, app activated, the paste script's own pause.
    EXPECT_THAT(sleeps(), ElementsAre(200ms, 300ms, 300ms, 300ms));
    EXPECT_THAT(statuses(), ElementsAre(ok("status.sending"), ok("status.sent")));
    // The source application is remembered for the next run.
    ASSERT_TRUE(tracker_->previousApp());
    EXPECT_EQ(tracker_->previousApp()->bundleIdentifier(), kEditor);
}

TEST_F(TextSendTest, AChatAppThatIsNotRunningIsLaunchedAndGetsANewChat) {
    load(scenario({editor("Hello world", 6, 5), chatApp(kChatGPT, "ChatGPT", false)}, kEditor));

    EXPECT_EQ(run(aiPreset({"chatgpt-app"}, "", /*autoSend=*/false)), std::nullopt);

    EXPECT_EQ(events("launch").size(), 1u);
    EXPECT_EQ(events("newChat").size(), 1u);
    // Pasted without the prompt, and not sent.
    EXPECT_THAT(messages(), IsEmpty());
    EXPECT_EQ(sim_->elementValue(kChatGPT, "input"), "world");
    EXPECT_THAT(keystrokes(), ElementsAre("cmd+c->copy", "cmd+n->newChat", "cmd+v->paste"));
    // Launch, activation, new chat, then the paste script's pause.
    EXPECT_THAT(sleeps(), ElementsAre(200ms, 300ms, 500ms, 300ms, 500ms, 300ms));
    EXPECT_EQ(lastStatus(), ok("status.sent"));
}

TEST_F(TextSendTest, ARunningChatAppWithoutWindowIsReopenedWithANewChat) {
    load(scenario({editor("Hello world", 0, 5), chatApp(kChatGPT, "ChatGPT", true, false)},
                  kEditor));

    EXPECT_EQ(run(aiPreset({"chatgpt-app"})), std::nullopt);

    EXPECT_EQ(events("reopen").size(), 1u);
    EXPECT_EQ(events("newChat").size(), 1u);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, "Hello");
}

TEST_F(TextSendTest, CutRemovesTheSelectionFromTheSource) {
    load(scenario({editor("Hello world", 6, 5), chatApp(kChatGPT, "ChatGPT", true)}, kEditor));
    PresetData preset = aiPreset({"chatgpt-app"});
    preset.cutText = true;

    EXPECT_EQ(run(preset), std::nullopt);

    EXPECT_EQ(sim_->elementValue(kEditor, "document"), "Hello ");
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, "world");
    EXPECT_THAT(keystrokes(), ElementsAre("cmd+x->cut", "cmd+v->paste", "return->send"));
}

TEST_F(TextSendTest, AnApplicationThatIgnoresCutIsAskedToCopyOnce) {
    load(scenario(
        {editor("Hello world", 6, 5, /*ignoresCut=*/true), chatApp(kChatGPT, "ChatGPT", true)},
        kEditor));
    PresetData preset = aiPreset({"chatgpt-app"});
    preset.cutText = true;

    EXPECT_EQ(run(preset), std::nullopt);

    EXPECT_EQ(sim_->elementValue(kEditor, "document"), "Hello world");
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, "world");
    EXPECT_THAT(keystrokes(),
                ElementsAre("cmd+x->ignored", "cmd+c->copy", "cmd+v->paste", "return->send"));
    EXPECT_THAT(sleeps(), ElementsAre(200ms, 300ms, 300ms, 300ms, 300ms));
}

TEST_F(TextSendTest, ASelectionOfOnlyWhiteSpaceIsNoSelection) {
    load(scenario({editor("a  \n  b", 1, 5), chatApp(kChatGPT, "ChatGPT", true)}, kEditor));

    // A problem the user can fix: reported, but the run itself succeeded.
    EXPECT_EQ(run(aiPreset({"chatgpt-app"}, "Prompt")), text("status.noSelection"));

    EXPECT_THAT(statuses(), ElementsAre(error("status.noSelection")));
    EXPECT_THAT(keystrokes(), ElementsAre("cmd+c->copy"));
    EXPECT_THAT(events("paste"), IsEmpty());
    EXPECT_THAT(messages(), IsEmpty());
}

TEST_F(TextSendTest, WithOrvexInFrontTheTextComesFromThePreviousApplication) {
    load(scenario({editor("Hello world", 6, 5), chatApp(kChatGPT, "ChatGPT", true)}, "Orvex"));
    userActivates(kEditor);
    userActivates(kSelf);
    markStart();

    EXPECT_EQ(run(aiPreset({"chatgpt-app"})), std::nullopt);

    // The editor is brought back first, then copied from.
    std::vector<Json> activations = events("activate");
    ASSERT_GE(activations.size(), 2u);
    EXPECT_EQ(activations[0].at("app"), kEditor);
    EXPECT_EQ(activations[1].at("app"), kChatGPT);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, "world");
    // Restore, settle, source activated, copy, app, paste pause.
    EXPECT_THAT(sleeps(), ElementsAre(100ms, 300ms, 200ms, 300ms, 300ms, 300ms));
}

TEST_F(TextSendTest, WithOrvexInFrontAndNoPreviousApplicationThereIsNothingToCopy) {
    load(scenario({chatApp(kChatGPT, "ChatGPT", true)}, "Orvex"));

    EXPECT_EQ(run(aiPreset({"chatgpt-app"})), text("status.noTargetApp"));

    EXPECT_THAT(statuses(), ElementsAre(error("status.noTargetApp")));
    EXPECT_THAT(keystrokes(), IsEmpty());
}

TEST_F(TextSendTest, APreviousApplicationThatQuitIsReported) {
    load(scenario({editor("Hello world", 6, 5), chatApp(kChatGPT, "ChatGPT", true)}, "Orvex"));
    userActivates(kEditor);
    userActivates(kSelf);
    ASSERT_TRUE(sim_->terminate(kEditor));
    markStart();

    EXPECT_EQ(run(aiPreset({"chatgpt-app"})), text("status.targetAppNotRunning"));

    EXPECT_THAT(statuses(), ElementsAre(error("status.targetAppNotRunning")));
    EXPECT_THAT(keystrokes(), IsEmpty());
}

TEST_F(TextSendTest, WithoutAccessibilityTheUserIsAskedAndNothingElseHappens) {
    load(scenario({editor("Hello world", 6, 5), chatApp(kChatGPT, "ChatGPT", true)}, kEditor,
                  {{"permissions", {{"accessibility", "denied"}}}}));

    EXPECT_EQ(run(aiPreset({"chatgpt-app"})), std::nullopt);

    EXPECT_THAT(statuses(), IsEmpty());
    EXPECT_EQ(hideMainWindowCount(), 1);
    std::vector<Json> prompts = events("permissionPrompt");
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].at("permission"), "accessibility");
    EXPECT_THAT(keystrokes(), IsEmpty());
}

}  // namespace
}  // namespace orvex::execution_test

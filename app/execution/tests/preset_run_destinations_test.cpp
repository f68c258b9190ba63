// Whole AI-send presets with several destinations, legacy identifiers, the last input field
// and the fallback when a browser input cannot be found.

#include "app/execution/tests/sim_execution_fixture.h"

namespace orvex::execution_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class DestinationsTest : public SimExecutionFixture {
  protected:
    // A browser tab whose page holds only the given elements.
    static Json page(const std::string& url, const std::vector<Json>& elements) {
        return {{"url", url}, {"page", "custom"}, {"elements", elements}};
    }
    static Json replyField(bool focused) {
        return {{"role", "AXTextArea"},
                {"id", "reply"},
                {"value", ""},
                {"settable", true},
                {"focused", focused}};
    }
    static Json link(bool focused) {
        return {{"role", "AXLink"}, {"id", "link"}, {"title", "More"}, {"focused", focused}};
    }
};

TEST_F(DestinationsTest, ModeAllSendsToEachDestinationButTheLastInputField) {
    load(scenario({editor("Hello world", 6, 5), chatApp(kChatGPT, "ChatGPT", true),
                   chatApp(kClaude, "Claude", true)},
                  kEditor));
    PresetData preset = aiPreset({"chatgpt-app", "last-input-field", "claude-app"}, "Q:");
    preset.multiDestMode = "all";

    // No browser is known, yet the run does not stop: "all" leaves the last input out.
    EXPECT_EQ(run(preset), std::nullopt);

    ASSERT_EQ(messages().size(), 2u);
    EXPECT_EQ(messages()[0].appKey, kChatGPT);
    EXPECT_EQ(messages()[1].appKey, kClaude);
    EXPECT_EQ(messages()[1].text, "Q:\nworld");
    // One copy for both.
    EXPECT_EQ(events("pasteboardWrite").size(), 3u);
    EXPECT_EQ(lastStatus(), ok("status.sent"));
}

TEST_F(DestinationsTest, ModeLastUsedFollowsTheSendHistory) {
    load(scenario({editor("Hello world", 6, 5), chatApp(kChatGPT, "ChatGPT", true),
                   chatApp(kClaude, "Claude", true)},
                  kEditor));
    PresetData preset = aiPreset({"gemini-app", "claude-app", "chatgpt-app"});
    preset.multiDestMode = "lastUsed";
    tracker_->recordSendTarget("chatgpt-app");
    tracker_->recordSendTarget("claude-app");

    EXPECT_EQ(run(preset), std::nullopt);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].appKey, kClaude);

    // Another mode string reads the same way; the most recent entry the preset names wins.
    userActivates(kEditor);
    tracker_->recordSendTarget("chatgpt-app");
    preset.multiDestMode = "All";
    EXPECT_EQ(run(preset), std::nullopt);
    ASSERT_EQ(messages().size(), 2u);
    EXPECT_EQ(messages()[1].appKey, kChatGPT);
}

TEST_F(DestinationsTest, LegacyIdentifiersAreMappedAndRepeatsDropped) {
    load(scenario({editor("Hello world", 6, 5), chatApp(kChatGPT, "ChatGPT", true),
                   chatApp(kClaude, "Claude", true)},
                  kEditor));

    // "claude" alone, in the old single-destination field.
    PresetData single = aiPreset({});
    single.destination = "claude";
    EXPECT_EQ(run(single), std::nullopt);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].appKey, kClaude);

    // "chatgpt" and "chatgpt-app" are one destination: one message, not two.
    userActivates(kEditor);
    PresetData both = aiPreset({"chatgpt", "chatgpt-app"});
    both.multiDestMode = "all";
    EXPECT_EQ(run(both), std::nullopt);
    ASSERT_EQ(messages().size(), 2u);
    EXPECT_EQ(messages()[1].appKey, kChatGPT);
}

TEST_F(DestinationsTest, TheLastInputFieldGetsTheTextInTheBrowserTheUserTypedIn) {
    load(
        scenario({editor("Hello world", 6, 5),
                  chrome({browserWindow({page("https://forum.example/t/1", {replyField(true)})})})},
                 kEditor));
    // The user typed in the browser, then went to the editor and selected text.
    userActivates(kChrome);
    userActivates(kEditor);
    ASSERT_TRUE(tracker_->lastFocusedBrowser());
    markStart();

    EXPECT_EQ(run(aiPreset({"last-input-field"}, "", /*autoSend=*/false)), std::nullopt);

    EXPECT_EQ(sim_->elementValue(kChrome, "reply"), "world");
    EXPECT_THAT(keystrokes(), ElementsAre("cmd+c->copy", "cmd+v->paste"));
    // Source, copy, browser brought back (its field is focused: no further look), paste.
    EXPECT_THAT(sleeps(), ElementsAre(200ms, 300ms, 300ms, 300ms));
    EXPECT_THAT(events("processRun"), IsEmpty());
    EXPECT_EQ(tracker_->sendTargetHistory().front(), "last-input-field");
    EXPECT_EQ(lastStatus(), ok("status.sent"));
}

TEST_F(DestinationsTest, TheLastInputFieldWithoutAKnownBrowserStopsBeforeCopying) {
    load(scenario({editor("Hello world", 6, 5)}, kEditor));

    EXPECT_EQ(run(aiPreset({"last-input-field"})), text("status.noBrowser"));

    EXPECT_THAT(statuses(), ElementsAre(error("status.noBrowser")));
    EXPECT_THAT(keystrokes(), IsEmpty());
}

TEST_F(DestinationsTest, ABrowserWithoutAnInputFallsBackToTheOtherDestination) {
    load(scenario({editor("Hello world", 6, 5), chatApp(kChatGPT, "ChatGPT", true),
                   chrome({browserWindow({page("https://news.example/", {link(true)})})})},
                  kEditor));
    userActivates(kChrome);
    userActivates(kEditor);
    tracker_->recordSendTarget("last-input-field");
    markStart();

    PresetData preset = aiPreset({"last-input-field", "chatgpt-app"}, "P");
    EXPECT_EQ(run(preset), std::nullopt);

    // The browser was tried (three looks at its focus, then the input search), then the
    // text went to ChatGPT (whose input is found by the search too).
    std::vector<Json> searches = events("processRun");
    ASSERT_EQ(searches.size(), 2u);
    EXPECT_EQ(searches[0].at("arguments"), Json({"--app", kChrome}));
    EXPECT_NE(searches[0].at("exitStatus"), 0);
    EXPECT_EQ(searches[1].at("arguments"), Json({"--app", kChatGPT}));
    EXPECT_EQ(searches[1].at("exitStatus"), 0);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].appKey, kChatGPT);
    EXPECT_EQ(messages()[0].text, "P\nworld");
    EXPECT_THAT(sleeps(), ElementsAre(200ms, 300ms, 300ms, 150ms, 150ms, 300ms, 300ms));
    EXPECT_EQ(lastStatus(), ok("status.sent"));
}

TEST_F(DestinationsTest, ABrowserWithoutAnInputAndNoFallbackIsReported) {
    load(scenario({editor("Hello world", 6, 5),
                   chrome({browserWindow({page("https://news.example/", {link(true)})})})},
                  kEditor));
    userActivates(kChrome);
    userActivates(kEditor);
    markStart();

    EXPECT_EQ(run(aiPreset({"last-input-field"})), text("status.browserInputNotFound"));

    EXPECT_THAT(events("paste"), IsEmpty());
}

TEST_F(DestinationsTest, AChatAppWhoseInputCannotBeFocusedIsReported) {
    Json noInput = chatApp(kChatGPT, "ChatGPT", true, false);
    noInput["windows"] = Json::array(
        {{{"title", "ChatGPT"}, {"elements", {{{"role", "AXButton"}, {"id", "send"}}}}}});
    load(scenario({editor("Hello world", 6, 5), noInput}, kEditor));

    EXPECT_EQ(run(aiPreset({"chatgpt-app"})), text("status.focusFailed"));

    EXPECT_THAT(statuses(), ElementsAre(ok("status.sending"), error("status.focusFailed")));
    EXPECT_THAT(events("paste"), IsEmpty());
    EXPECT_EQ(executor_->lastError(), std::nullopt);
}

}  // namespace
}  // namespace orvex::execution_test

// Whole AI-send presets with several destinations, legacy identifiers, the last input field
// and the fallback when a browser input cannot be found.

#include "app/execution/tests/sim_execution_fixture.h"

namespace orvex::execution_test {
namespace {

const std::string kTwoChats =
    scenario({editor("Hello world", 6, 5), chatApp(kChatGPT, "ChatGPT", true),
              chatApp(kClaude, "Claude", true)},
             kEditor);

// Chrome on a page whose focused element is this one, beside the editor and ChatGPT.
std::string browserDesk(Json focused) {
    focused["focused"] = true;
    Json page = {{"url", "https://forum.example/t/1"}, {"page", "custom"}, {"elements", {focused}}};
    return scenario({editor("Hello world", 6, 5), chatApp(kChatGPT, "ChatGPT", true),
                     chrome({browserWindow({page})})},
                    kEditor);
}
const Json kReply = {{"role", "AXTextArea"}, {"id", "reply"}, {"value", ""}, {"settable", true}};
const Json kLink = {{"role", "AXLink"}, {"id", "link"}, {"title", "More"}};

PresetData withMode(PresetData preset, const std::string& mode) {
    preset.multiDestMode = mode;
    return preset;
}
// A preset stored before the destination list: only the single field is set.
PresetData legacy(const std::string& destination) {
    PresetData preset = aiPreset({});
    preset.destination = destination;
    return preset;
}

const Strings kSendToCodex = {"activate codex", "search --app codex", "cmd+v->paste",
                              "return->send"};
const Strings kSendToClaude = {"activate claudefordesktop", "search --app claudefordesktop",
                               "cmd+v->paste", "return->send"};
Strings concat(Strings first, const Strings& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

using DestinationRuns = RunTest;
TEST_P(DestinationRuns, Run) {
    expectRun(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Destinations, DestinationRuns,
    ::testing::Values(
        // No browser is known, yet the run does not stop: "all" leaves the last input out.
        // One copy for both.
        RunCase{
            .name = "ModeAllSendsToEachDestinationButTheLastInputField",
            .desk = kTwoChats,
            .preset = withMode(aiPreset({"chatgpt-app", "last-input-field", "claude-app"}, "Q:"),
                               "all"),
            .statuses = {"status.sending", "status.sending", "status.sent"},
            .story = concat(concat({"cmd+c->copy"}, kSendToCodex), kSendToClaude),
            .sleeps = {200ms, 300ms, 300ms, 300ms, 300ms, 300ms},
            .sent = {"codex: Q:\nworld", "claudefordesktop: Q:\nworld"}},
        RunCase{.name = "ModeLastUsedFollowsTheSendHistory",
                .desk = kTwoChats,
                .preset = aiPreset({"gemini-app", "claude-app", "chatgpt-app"}),
                .history = {"chatgpt-app", "claude-app"},
                .statuses = {"status.sending", "status.sent"},
                .story = concat({"cmd+c->copy"}, kSendToClaude),
                .sleeps = {200ms, 300ms, 300ms, 300ms},
                .sent = {"claudefordesktop: world"}},
        // Another mode string reads as "lastUsed".
        RunCase{.name = "AnUnknownModeFollowsTheSendHistory",
                .desk = kTwoChats,
                .preset = withMode(aiPreset({"gemini-app", "claude-app", "chatgpt-app"}), "All"),
                .history = {"claude-app", "chatgpt-app"},
                .statuses = {"status.sending", "status.sent"},
                .story = concat({"cmd+c->copy"}, kSendToCodex),
                .sleeps = {200ms, 300ms, 300ms, 300ms},
                .sent = {"codex: world"}},
        RunCase{.name = "ALegacySingleDestinationIsMapped",
                .desk = kTwoChats,
                .preset = legacy("claude"),
                .statuses = {"status.sending", "status.sent"},
                .story = concat({"cmd+c->copy"}, kSendToClaude),
                .sleeps = {200ms, 300ms, 300ms, 300ms},
                .sent = {"claudefordesktop: world"}},
        // "chatgpt" and "chatgpt-app" are one destination: one message, not two.
        RunCase{.name = "ALegacyIdentifierAndItsNewOneAreOneDestination",
                .desk = kTwoChats,
                .preset = withMode(aiPreset({"chatgpt", "chatgpt-app"}), "all"),
                .statuses = {"status.sending", "status.sent"},
                .story = concat({"cmd+c->copy"}, kSendToCodex),
                .sleeps = {200ms, 300ms, 300ms, 300ms},
                .sent = {"codex: world"}},
        // The user typed in the browser, then selected text in the editor. Source, copy,
        // browser brought back (its field is focused: no further look), paste.
        RunCase{.name = "TheLastInputFieldGetsTheTextInTheBrowserTheUserTypedIn",
                .desk = browserDesk(kReply),
                .preset = aiPreset({"last-input-field"}, "", /*autoSend=*/false),
                .before = {kChrome, kEditor},
                .statuses = {"status.sending", "status.sent"},
                .story = {"cmd+c->copy", "activate Chrome", "cmd+v->paste"},
                .sleeps = {200ms, 300ms, 300ms, 300ms},
                .values = {{{kChrome, "reply", "world"}}}},
        RunCase{.name = "TheLastInputFieldWithoutAKnownBrowserStopsBeforeCopying",
                .desk = kTwoChats,
                .preset = aiPreset({"last-input-field"}),
                .statuses = {"!status.noBrowser"}},
        // The browser is tried (three looks at its focus, then the input search), then the
        // text goes to ChatGPT.
        RunCase{.name = "ABrowserWithoutAnInputFallsBackToTheOtherDestination",
                .desk = browserDesk(kLink),
                .preset = aiPreset({"last-input-field", "chatgpt-app"}, "P"),
                .before = {kChrome, kEditor},
                .history = {"last-input-field"},
                .statuses = {"status.sending", "status.sending", "status.sent"},
                .story = concat({"cmd+c->copy", "activate Chrome", "search --app Chrome (failed)"},
                                kSendToCodex),
                .sleeps = {200ms, 300ms, 300ms, 150ms, 150ms, 300ms, 300ms},
                .sent = {"codex: P\nworld"}},
        RunCase{.name = "ABrowserWithoutAnInputAndNoFallbackIsReported",
                .desk = browserDesk(kLink),
                .preset = aiPreset({"last-input-field"}),
                .before = {kChrome, kEditor},
                .statuses = {"status.sending", "!status.browserInputNotFound"},
                .story = {"cmd+c->copy", "activate Chrome", "search --app Chrome (failed)"},
                .sleeps = {200ms, 300ms, 300ms, 150ms, 150ms}},
        RunCase{
            .name = "AChatAppWhoseInputCannotBeFocusedIsReported",
            .desk = scenario({editor("Hello world", 6, 5),
                              {{"bundleId", kChatGPT},
                               {"name", "ChatGPT"},
                               {"kind", "chat"},
                               {"running", true},
                               {"windows",
                                {{{"title", "ChatGPT"}, {"elements", {{{"role", "AXButton"}}}}}}}}},
                             kEditor),
            .preset = aiPreset({"chatgpt-app"}),
            .statuses = {"status.sending", "!status.focusFailed"},
            .story = {"cmd+c->copy", "activate codex", "search --app codex (failed)"},
            .sleeps = {200ms, 300ms, 300ms}}),
    runName);

}  // namespace
}  // namespace orvex::execution_test

// Whole presets on the simulated desktop: text sends to chat apps, the Terminal and web pages,
// several destinations, screen captures, and the simple actions (activate an application,
// open a file, create a file); each with all it leaves behind.

#include <sys/stat.h>

#include <filesystem>

#include "app/execution/tests/sim_execution_fixture.h"

namespace orvex::execution_test {
namespace {

// The editor with "world" selected and ChatGPT running, then these applications.
std::string desk(const std::vector<Json>& more = {}, const std::string& front = kEditor,
                 Json extra = Json::object()) {
    std::vector<Json> apps = {editor("Hello world", 6, 5), chatApp(kChatGPT, "ChatGPT", true)};
    apps.insert(apps.end(), more.begin(), more.end());
    return scenario(apps, front, extra);
}
// The editor and this one chat app.
std::string chatDesk(Json chat, Json source = editor("Hello world", 6, 5)) {
    return scenario({source, chat}, kEditor);
}
// The AI services' pages are chat pages; nothing of them is installed as an app, so every AI
// destination takes the web route. Chrome shows these pages, one window each, front first.
std::string webDesk(const Strings& pages, Json extra = Json::object()) {
    extra["webPages"] = {
        {"chatgpt.com", {{"page", "chat"}, {"title", "ChatGPT"}}},
        {"gemini.google.com", {{"page", "chat"}, {"title", "Gemini"}, {"inputLabel", "Gemini"}}},
        {"claude.ai",
         {{"page", "chat"},
          {"title", "Claude"},
          {"inputLabel", "クロードにプロンプトを入力してください"}}}};
    std::vector<Json> apps = {editor("Hello world", 6, 5)};
    if (!pages.empty()) {
        std::vector<Json> tabs(pages.begin(), pages.end());
        for (Json& tab : tabs) {
            tab = {{"url", tab}};
        }
        apps.push_back(chrome(tabs));
    }
    return scenario(apps, kEditor, extra);
}
// Chrome on a page whose focused element is this one.
Json chromeFocusedOn(Json element) {
    element["focused"] = true;
    return chrome(
        {{{"url", "https://forum.example/t/1"}, {"page", "custom"}, {"elements", {element}}}});
}
// Chrome on ChatGPT's page, with an address bar that takes the focus back `times` times.
Json chromeWithAddressBar(int times) {
    Json bar = {{"role", "AXTextField"},
                {"id", "address"},
                {"value", ""},
                {"settable", true},
                {"takesFocusBack", times}};
    Json input = {{"role", "AXTextArea"},
                  {"id", "prompt"},
                  {"value", ""},
                  {"settable", true},
                  {"sendsOnReturn", true}};
    return chrome({{{"url", "https://chatgpt.com/c/1"},
                    {"title", "ChatGPT"},
                    {"page", "custom"},
                    {"elements", {bar, input}}}});
}
const Json kReply = {{"role", "AXTextArea"}, {"id", "reply"}, {"value", ""}, {"settable", true}};
const Json kLink = {{"role", "AXLink"}, {"id", "link"}, {"title", "More"}};
const Json kClaudeApp = chatApp(kClaude, "Claude", true);
// ChatGPT running, its window holding only this element.
Json chatWithOnly(Json element) {
    Json chat = chatApp(kChatGPT, "ChatGPT", true);
    chat["windows"][0]["elements"] = {element};
    return chat;
}
Json launchable(Json app, const std::string& path) {
    app["path"] = path;
    return app;
}
Json failing(Json app, const std::string& launchError) {
    app["launchError"] = launchError;
    return app;
}
// Notes, running with windows minimized or not, or not running.
Json notes(bool running, std::vector<bool> minimized = {}) {
    Json app = {{"bundleId", "com.example.notes"}, {"name", "Notes"}, {"kind", "editor"}};
    app["running"] = running;
    for (std::size_t i = 0; i < minimized.size(); ++i) {
        app["windows"].push_back(
            {{"title", "note " + std::to_string(i + 1)}, {"minimized", bool(minimized[i])}});
    }
    return app;
}
Json finder(const Strings& folders) {
    Json result = launchable(app(kFinder, "Finder", "fileManager", true, false),
                             "/System/Library/CoreServices/Finder.app");
    for (const std::string& folder : folders) {
        result["windows"].push_back({{"folder", folder}});
    }
    return result;
}

PresetData with(PresetData preset, void (*change)(PresetData&)) {
    change(preset);
    return preset;
}
PresetData capture(Strings destinations, std::string prompt, bool autoSend) {
    PresetData preset = aiPreset(std::move(destinations), std::move(prompt), autoSend);
    preset.useCapture = true;
    return preset;
}
// A preset whose first set field decides the action (a send to ChatGPT otherwise).
PresetData action(std::string appName, std::optional<std::string> createExtension = {},
                  std::string filePath = "") {
    PresetData preset = aiPreset({"chatgpt-app"});
    preset.appName = std::move(appName);
    preset.filePath = std::move(filePath);
    preset.createFile = createExtension.has_value();
    preset.fileExt = createExtension.value_or("");
    return preset;
}

const Strings kSent = {"status.sending", "status.sent"};
const Strings kCaptureSent = {"status.selectCaptureArea", "status.sending", "status.sent"};
const Strings kToCodex = {"activate codex", "search --app codex", "cmd+v->paste", "return->send"};
const Strings kToClaude = {"activate claudefordesktop", "search --app claudefordesktop",
                           "cmd+v->paste", "return->send"};
Strings then(Strings first, const Strings& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}
// The capture file's name: the virtual wall clock's milliseconds when the selection starts.
const std::string kCaptured = "capture orvex-capture-1766016000200.png";
const Strings kBringNotes = {"status.bringToFront|appName=Notes",
                             "status.broughtToFront|appName=Notes"};
const Strings kBringFinder = {"status.bringToFront|appName=Finder",
                              "status.broughtToFront|appName=Finder"};

using PresetRuns = RunTest;
TEST_P(PresetRuns, Run) {
    expectRun(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Text, PresetRuns,
    ::testing::Values(
        // Launch, activation, new chat, then the paste script's pause; pasted without the
        // prompt, and not sent.
        RunCase{.name = "AChatAppThatIsNotRunningIsLaunchedAndGetsANewChat",
                .desk = chatDesk(chatApp(kChatGPT, "ChatGPT", false)),
                .preset = aiPreset({"chatgpt-app"}, "", /*autoSend=*/false),
                .statuses = kSent,
                .story = {"cmd+c->copy", "launch codex", "activate codex", "cmd+n->newChat",
                          "search --app codex", "cmd+v->paste"},
                .sleeps = {200ms, 300ms, 500ms, 300ms, 500ms, 300ms},
                .values = {{{kChatGPT, "input", "world"}}}},
        RunCase{.name = "ARunningChatAppWithoutWindowIsReopenedWithANewChat",
                .desk = chatDesk(chatApp(kChatGPT, "ChatGPT", true, false),
                                 editor("Hello world", 0, 5)),
                .preset = aiPreset({"chatgpt-app"}),
                .statuses = kSent,
                .story = {"cmd+c->copy", "reopen codex", "activate codex", "cmd+n->newChat",
                          "search --app codex", "cmd+v->paste", "return->send"},
                .sleeps = {200ms, 300ms, 500ms, 300ms, 500ms, 300ms},
                .sent = {"codex: Hello"}},
        // Source activated, cut, app activated, the paste script's own pause.
        RunCase{.name = "CutRemovesTheSelectionFromTheSource",
                .desk = desk(),
                .preset = with(aiPreset({"chatgpt-app"}), [](PresetData& p) { p.cutText = true; }),
                .statuses = kSent,
                .story = then({"cmd+x->cut"}, kToCodex),
                .sleeps = {200ms, 300ms, 300ms, 300ms},
                .sent = {"codex: world"},
                .values = {{{kEditor, "document", "Hello "}}}},
        RunCase{.name = "AnApplicationThatIgnoresCutIsAskedToCopyOnce",
                .desk = chatDesk(chatApp(kChatGPT, "ChatGPT", true),
                                 editor("Hello world", 6, 5, /*ignoresCut=*/true)),
                .preset = with(aiPreset({"chatgpt-app"}), [](PresetData& p) { p.cutText = true; }),
                .statuses = kSent,
                .story = then({"cmd+x->ignored", "cmd+c->copy"}, kToCodex),
                .sleeps = {200ms, 300ms, 300ms, 300ms, 300ms},
                .sent = {"codex: world"},
                .values = {{{kEditor, "document", "Hello world"}}}},
        RunCase{.name = "ASelectionOfOnlyWhiteSpaceIsNoSelection",
                .desk = chatDesk(chatApp(kChatGPT, "ChatGPT", true), editor("a  \n  b", 1, 5)),
                .preset = aiPreset({"chatgpt-app"}, "Prompt"),
                .statuses = {"!status.noSelection"},
                .story = {"cmd+c->copy"},
                .sleeps = {200ms, 300ms}},
        // The editor is brought back first (restore, settle), then copied from.
        RunCase{.name = "WithOrvexInFrontTheTextComesFromThePreviousApplication",
                .desk = desk({}, "Orvex"),
                .preset = aiPreset({"chatgpt-app"}),
                .before = {kEditor, kSelf},
                .statuses = kSent,
                .story = then({"activate editor", "cmd+c->copy"}, kToCodex),
                .sleeps = {100ms, 300ms, 200ms, 300ms, 300ms, 300ms},
                .sent = {"codex: world"}},
        RunCase{.name = "WithOrvexInFrontAndNoPreviousApplicationThereIsNothingToCopy",
                .desk = desk({}, "Orvex"),
                .preset = aiPreset({"chatgpt-app"}),
                .statuses = {"!status.noTargetApp"}},
        RunCase{.name = "APreviousApplicationThatQuitIsReported",
                .desk = desk({}, "Orvex"),
                .preset = aiPreset({"chatgpt-app"}),
                .before = {kEditor, kSelf},
                .quit = kEditor,
                .statuses = {"!status.targetAppNotRunning"}},
        // The permission prompt must not open behind the main window.
        RunCase{.name = "WithoutAccessibilityTheUserIsAskedAndNothingElseHappens",
                .desk = desk({}, kEditor, {{"permissions", {{"accessibility", "denied"}}}}),
                .preset = aiPreset({"chatgpt-app"}),
                .story = {"permissionPrompt accessibility"},
                .hidden = 1},
        RunCase{.name = "AChatAppWhoseInputCannotBeFocusedIsReported",
                .desk = chatDesk(chatWithOnly({{"role", "AXButton"}})),
                .preset = aiPreset({"chatgpt-app"}),
                .statuses = {"status.sending", "!status.focusFailed"},
                .story = {"cmd+c->copy", "activate codex", "search --app codex (failed)"},
                .sleeps = {200ms, 300ms, 300ms}}),
    runName);

INSTANTIATE_TEST_SUITE_P(
    Destinations, PresetRuns,
    ::testing::Values(
        // No browser is known, yet the run does not stop: "all" leaves the last input out.
        // One copy for both.
        RunCase{.name = "ModeAllSendsToEachDestinationButTheLastInputField",
                .desk = desk({kClaudeApp}),
                .preset = with(aiPreset({"chatgpt-app", "last-input-field", "claude-app"}, "Q:"),
                               [](PresetData& p) { p.multiDestMode = "all"; }),
                .statuses = {"status.sending", "status.sending", "status.sent"},
                .story = then(then({"cmd+c->copy"}, kToCodex), kToClaude),
                .sleeps = {200ms, 300ms, 300ms, 300ms, 300ms, 300ms},
                .sent = {"codex: Q:\nworld", "claudefordesktop: Q:\nworld"}},
        // Any mode but "all" follows the send history: its most recent entry in the list.
        RunCase{.name = "AnotherModeFollowsTheSendHistory",
                .desk = desk({kClaudeApp}),
                .preset = with(aiPreset({"gemini-app", "claude-app", "chatgpt-app"}),
                               [](PresetData& p) { p.multiDestMode = "All"; }),
                .history = {"chatgpt-app", "claude-app"},
                .statuses = kSent,
                .story = then({"cmd+c->copy"}, kToClaude),
                .sleeps = {200ms, 300ms, 300ms, 300ms},
                .sent = {"claudefordesktop: world"}},
        // A preset stored before the destination list has only the single field.
        RunCase{.name = "ALegacySingleDestinationIsMapped",
                .desk = desk({kClaudeApp}),
                .preset = with(aiPreset({}), [](PresetData& p) { p.destination = "claude"; }),
                .statuses = kSent,
                .story = then({"cmd+c->copy"}, kToClaude),
                .sleeps = {200ms, 300ms, 300ms, 300ms},
                .sent = {"claudefordesktop: world"}},
        RunCase{.name = "ALegacyIdentifierAndItsNewOneAreOneDestination",
                .desk = desk({kClaudeApp}),
                .preset = with(aiPreset({"chatgpt", "chatgpt-app"}),
                               [](PresetData& p) { p.multiDestMode = "all"; }),
                .statuses = kSent,
                .story = then({"cmd+c->copy"}, kToCodex),
                .sleeps = {200ms, 300ms, 300ms, 300ms},
                .sent = {"codex: world"}},
        // The user typed in the browser, then selected text in the editor. Source, copy,
        // browser brought back (its field is focused: no further look), paste.
        RunCase{.name = "TheLastInputFieldGetsTheTextInTheBrowserTheUserTypedIn",
                .desk = desk({chromeFocusedOn(kReply)}),
                .preset = aiPreset({"last-input-field"}, "", /*autoSend=*/false),
                .before = {kChrome, kEditor},
                .statuses = kSent,
                .story = {"cmd+c->copy", "activate Chrome", "cmd+v->paste"},
                .sleeps = {200ms, 300ms, 300ms, 300ms},
                .values = {{{kChrome, "reply", "world"}}}},
        RunCase{.name = "TheLastInputFieldWithoutAKnownBrowserStopsBeforeCopying",
                .desk = desk(),
                .preset = aiPreset({"last-input-field"}),
                .statuses = {"!status.noBrowser"}},
        // The browser is tried (three looks at its focus, then the input search), then the
        // text goes to ChatGPT.
        RunCase{.name = "ABrowserWithoutAnInputFallsBackToTheOtherDestination",
                .desk = desk({chromeFocusedOn(kLink)}),
                .preset = aiPreset({"last-input-field", "chatgpt-app"}, "P"),
                .before = {kChrome, kEditor},
                .history = {"last-input-field"},
                .statuses = {"status.sending", "status.sending", "status.sent"},
                .story = then({"cmd+c->copy", "activate Chrome", "search --app Chrome (failed)"},
                              kToCodex),
                .sleeps = {200ms, 300ms, 300ms, 150ms, 150ms, 300ms, 300ms},
                .sent = {"codex: P\nworld"}},
        RunCase{.name = "ABrowserWithoutAnInputAndNoFallbackIsReported",
                .desk = desk({chromeFocusedOn(kLink)}),
                .preset = aiPreset({"last-input-field"}),
                .before = {kChrome, kEditor},
                .statuses = {"status.sending", "!status.browserInputNotFound"},
                .story = {"cmd+c->copy", "activate Chrome", "search --app Chrome (failed)"},
                .sleeps = {200ms, 300ms, 300ms, 150ms, 150ms}}),
    runName);

INSTANTIATE_TEST_SUITE_P(
    Terminal, PresetRuns,
    ::testing::Values(
        // Source, copy, then the paste script's two pauses.
        RunCase{.name = "TextIsPastedIntoTheTerminalWindow",
                .desk = desk({terminalApp(true, true)}),
                .preset = aiPreset({"terminal"}),
                .statuses = kSent,
                .story = {"cmd+c->copy", "activate Terminal", "cmd+v->paste", "return->send"},
                .sleeps = {200ms, 300ms, 300ms, 300ms},
                .sent = {"Terminal: world"}},
        RunCase{.name = "ATerminalWithoutWindowIsOpenedFirst",
                .desk = desk({terminalApp(true, false)}),
                .preset = aiPreset({"terminal"}, "", /*autoSend=*/false),
                .statuses = kSent,
                .story = {"cmd+c->copy", "reopen Terminal", "activate Terminal", "cmd+v->paste"},
                .sleeps = {200ms, 300ms, 500ms, 300ms, 300ms},
                .values = {{{kTerminal, "shell", "world"}}}},
        RunCase{.name = "ATerminalThatIsNotRunningIsLaunchedFromItsFolder",
                .desk = desk({launchable(terminalApp(false, false),
                                         "/Applications/Utilities/Terminal.app")}),
                .preset = aiPreset({"terminal"}),
                .statuses = kSent,
                .story = {"cmd+c->copy", "launch Terminal", "activate Terminal", "cmd+v->paste",
                          "return->send"},
                .sleeps = {200ms, 300ms, 500ms, 300ms, 300ms},
                .sent = {"Terminal: world"}},
        RunCase{.name = "AMissingTerminalIsAnUnknownErrorNamingIt",
                .desk = desk(),
                .preset = aiPreset({"terminal"}),
                .statuses = {"status.sending", "!status.unknownError|msg=App not found: Terminal"},
                .story = {"cmd+c->copy"},
                .sleeps = {200ms, 300ms}}),
    runName);

INSTANTIATE_TEST_SUITE_P(
    Web, PresetRuns,
    ::testing::Values(
        // An open tab of the service is brought forward and gets a short wait; ChatGPT's page
        // is searched without a hint.
        RunCase{.name = "AnOpenTabOfTheServiceIsReused",
                .desk = webDesk({"https://news.example/", "https://chatgpt.com/c/1"}),
                .preset = aiPreset({"chatgpt-app"}, "Translate:"),
                .statuses = {"status.openingBrowser", "status.sending", "status.sent"},
                .story = {"cmd+c->copy", "activate Chrome", "windowRaised Chrome ChatGPT", "search",
                          "cmd+v->paste", "return->send"},
                .sleeps = {200ms, 300ms, 500ms, 300ms},
                .sent = {"Chrome https://chatgpt.com/c/1: Translate:\nworld"}},
        // Without a tab the page is opened and given time to load; its input is found by its
        // label (Claude's: see the capture). Pasted, not sent.
        RunCase{.name = "GeminiIsOpenedInANewTab",
                .desk = webDesk({"https://news.example/"}),
                .preset = aiPreset({"gemini-app"}, "", /*autoSend=*/false),
                .statuses = {"status.openingBrowser", "status.loadingPage", "status.sending",
                             "status.sent"},
                .story = {"cmd+c->copy", "activate Chrome",
                          "tabOpened Chrome https://gemini.google.com/app", "search --hint Gemini",
                          "cmd+v->paste"},
                .sleeps = {200ms, 300ms, 4000ms, 300ms}},
        // The address bar takes the focus back after the input search: the input is looked
        // at three times, searched for once more, and only then pasted into.
        RunCase{.name = "AFocusTakenBackByTheAddressBarIsSearchedForAgain",
                .desk = scenario({editor("Hello world", 6, 5), chromeWithAddressBar(1)}, kEditor),
                .preset = aiPreset({"chatgpt-app"}),
                .statuses = {"status.openingBrowser", "status.sending", "status.sent"},
                .story = {"cmd+c->copy", "activate Chrome", "focusTaken Chrome", "search", "search",
                          "cmd+v->paste", "return->send"},
                .sleeps = {200ms, 300ms, 500ms, 150ms, 150ms, 300ms},
                .sent = {"Chrome https://chatgpt.com/c/1: world"}},
        // ... and when it keeps taking it, nothing is pasted where it would run a search.
        RunCase{.name = "AFocusThatNeverStaysOnTheInputIsReported",
                .desk = scenario({editor("Hello world", 6, 5), chromeWithAddressBar(2)}, kEditor),
                .preset = aiPreset({"chatgpt-app"}),
                .statuses = {"status.openingBrowser", "status.sending", "!status.focusFailed"},
                .story = {"cmd+c->copy", "activate Chrome", "focusTaken Chrome", "search",
                          "focusTaken Chrome", "search"},
                .sleeps = {200ms, 300ms, 500ms, 150ms, 150ms, 150ms, 150ms}},
        RunCase{.name = "ABrowserThatRefusesAutomationIsReportedAsAPermissionProblem",
                .desk = webDesk({"https://news.example/"},
                                {{"permissions", {{"browserAutomation", "denied"}}}}),
                .preset = aiPreset({"chatgpt-app"}),
                .statuses = {"status.openingBrowser", "!status.chromePermission"},
                .story = {"cmd+c->copy", "permissionPrompt browserAutomation"},
                .sleeps = {200ms, 300ms}},
        RunCase{.name = "AMissingBrowserIsReportedAsNotInstalled",
                .desk = webDesk({}),
                .preset = aiPreset({"claude-app"}),
                .statuses = {"status.openingBrowser", "!status.chromeNotInstalled"},
                .story = {"cmd+c->copy"},
                .sleeps = {200ms, 300ms}}),
    runName);

INSTANTIATE_TEST_SUITE_P(
    Capture, PresetRuns,
    ::testing::Values(
        // Before the selection, app activated, the image taken in, the prompt written, the
        // paste script's pause.
        RunCase{.name = "ACaptureForAChatAppIsPastedAsAnImage",
                .desk = desk(),
                .preset = capture({"chatgpt-app"}, "Describe", /*autoSend=*/true),
                .statuses = kCaptureSent,
                .story = then({kCaptured},
                              then({"activate codex", "search --app codex", "cmd+v->paste"},
                                   {"cmd+v->paste", "return->send"})),
                .sleeps = {200ms, 300ms, 2000ms, 200ms, 300ms},
                .sent = {"codex: [1 image] Describe"},
                .hidden = 1},
        RunCase{.name = "ACaptureWithoutPromptIsSentWithTheSendKey",
                .desk = desk(),
                .preset = capture({"chatgpt-app"}, "", /*autoSend=*/true),
                .statuses = kCaptureSent,
                .story = then({kCaptured}, kToCodex),
                .sleeps = {200ms, 300ms, 2000ms},
                .sent = {"codex: [1 image] "},
                .hidden = 1},
        // Cancelling is not a failure: no error for the caller.
        RunCase{.name = "ACancelledCaptureRestoresThePreviousApplication",
                .desk = desk({}, "Orvex", {{"captures", {{{"cancelled", true}}}}}),
                .preset = capture({"chatgpt-app"}, "Describe", true),
                .before = {kEditor, kSelf},
                .statuses = {"status.selectCaptureArea", "status.captureCancelled"},
                .story = {"capture", "activate editor"},
                .sleeps = {200ms, 100ms},
                .hidden = 1},
        RunCase{.name = "ACancelledCaptureLeavesAPinnedWindowInFront",
                .desk = desk({terminalApp(true, true)}, "Orvex",
                             {{"captures", {{{"cancelled", true}}}}}),
                .preset = capture({"terminal"}, "", false),
                .before = {kEditor, kSelf},
                .pinned = true,
                .statuses = {"status.selectCaptureArea", "status.captureCancelled"},
                .story = {"capture"},
                .sleeps = {200ms}},
        RunCase{.name = "WithoutScreenRecordingTheUserIsAskedAndNothingIsCaptured",
                .desk = desk({}, kEditor, {{"permissions", {{"screenRecording", "denied"}}}}),
                .preset = capture({"chatgpt-app"}, "", true),
                .story = {"permissionPrompt screenRecording"}},
        // The browser the user typed in gets the image; its field is focused: no paste of
        // text, not sent.
        RunCase{.name = "ACaptureForTheLastInputFieldGoesToTheBrowser",
                .desk = desk({chromeFocusedOn(kReply)}),
                .preset = capture({"last-input-field"}, "", false),
                .before = {kChrome, kEditor},
                .statuses = kCaptureSent,
                .story = {kCaptured, "activate Chrome", "cmd+v->paste"},
                .sleeps = {200ms, 300ms, 2000ms},
                .hidden = 1},
        RunCase{.name = "ACaptureForAWebServiceOpensItsPage",
                .desk = webDesk({"https://news.example/"}),
                .preset = capture({"claude-app"}, "", false),
                .statuses = {"status.selectCaptureArea", "status.sending", "status.loadingPage",
                             "status.sent"},
                .story = {kCaptured, "activate Chrome", "tabOpened Chrome https://claude.ai/new",
                          "search --hint クロード", "cmd+v->paste"},
                .sleeps = {200ms, 4000ms, 2000ms},
                .hidden = 1}),
    runName);

// A running application with a visible window is only activated; with every window minimized
// its first window comes back; without windows it is reopened; not running, it is launched by
// name or bundle identifier. Whatever went wrong, the user learns only that it could not be
// launched.
INSTANTIATE_TEST_SUITE_P(
    Actions, PresetRuns,
    ::testing::Values(
        RunCase{.name = "AnApplicationWithAVisibleWindowIsActivated",
                .desk = desk({notes(true, {true, false})}),
                .preset = action("Notes"),
                .statuses = kBringNotes,
                .story = {"activate notes"}},
        RunCase{.name = "AnApplicationWithOnlyMinimizedWindowsGetsItsFirstBack",
                .desk = desk({notes(true, {true, true, true})}),
                .preset = action("Notes"),
                .statuses = kBringNotes,
                .story = {"windowRestored notes note 1", "activate notes"}},
        RunCase{.name = "AnApplicationWithoutWindowsIsReopened",
                .desk = desk({notes(true)}),
                .preset = action("Notes"),
                .statuses = kBringNotes,
                .story = {"reopen notes", "activate notes"}},
        RunCase{.name = "AnApplicationThatIsNotRunningIsLaunchedByBundleIdentifier",
                .desk = desk({notes(false)}),
                .preset = action("com.example.notes"),
                .statuses = {"status.bringToFront|appName=com.example.notes",
                             "status.broughtToFront|appName=com.example.notes"},
                .story = {"launch notes", "activate notes"}},
        RunCase{.name = "AFailedLaunchIsReportedAsCannotLaunch",
                .desk = desk({failing(notes(false), "The application is damaged")}),
                .preset = action("Notes"),
                .statuses = {kBringNotes[0], "!status.cannotLaunch|appName=Notes"},
                .story = {"launchFailed notes"}},
        RunCase{.name = "FinderWithAWindowIsActivatedByScript",
                .desk = desk({finder({"~/Projects"})}),
                .preset = action("Finder"),
                .statuses = kBringFinder,
                .story = {"activate finder"}},
        RunCase{.name = "FinderWithoutAWindowOpensTheFolderItsPreferenceNames",
                .desk = desk({finder({})}, kEditor,
                             {{"defaults", {{kFinder, {{"NewWindowTarget", "PfDo"}}}}},
                              {"files", {{"~/Documents/readme.txt", "hello"}}}}),
                .preset = action("Finder"),
                .statuses = kBringFinder,
                .story = {"folderShown Documents", "activate finder"}},
        RunCase{.name = "FinderWithoutAWindowOrPreferenceGetsCommandN",
                .desk = desk({finder({})}),
                .preset = action("Finder"),
                .statuses = kBringFinder,
                .story = {"run /bin/sh -c defaults read com.apple.finder NewWindowTarget "
                          "2>/dev/null (failed)",
                          "activate finder", "cmd+n->newWindow"},
                .sleeps = {300ms}},
        // The first free number, written right after the name: 2 follows the unnumbered name.
        RunCase{
            .name = "ANewFileIsNumberedPastTheTakenNames",
            .desk = desk({finder({"~/Projects"})}, kEditor,
                         {{"files",
                           {{"~/Projects/NewFile.txt", "one"}, {"~/Projects/NewFile3.txt", ""}}}}),
            .preset = action("", ""),
            .statuses = {"status.creatingFile", "status.fileCreated|fileName=NewFile2.txt"},
            .files = {"Projects/NewFile2.txt"}},
        RunCase{.name = "WithoutAFinderWindowTheNewFileGoesToTheDesktop",
                .desk = desk({finder({})}, kEditor, {{"files", {{"~/Desktop/todo.txt", ""}}}}),
                .preset = action("", "md"),
                .statuses = {"status.creatingFile", "status.fileCreated|fileName=NewFile.md"},
                .files = {"Desktop/NewFile.md"}},
        // No Finder window and no Desktop folder.
        RunCase{.name = "AFolderThatCannotTakeTheFileIsReported",
                .desk = desk({finder({})}),
                .preset = action("", "txt"),
                .statuses = {"status.creatingFile", "!status.fileCreateFailed"}},
        // No file manager at all: the script cannot address it.
        RunCase{.name = "AFinderScriptFailureIsReportedWithItsMessage",
                .desk = desk(),
                .preset = action("", "txt"),
                .statuses = {"status.creatingFile",
                             "!status.finderError|msg=Can't get application \"Finder\". (-1728)"}},
        RunCase{.name = "CreateFileWinsOverAnApplicationNameAndAFile",
                .desk = desk({finder({"~/Projects"}), notes(false)}),
                .preset = action("Notes", "txt", "/etc/hosts"),
                .statuses = {"status.creatingFile", "status.fileCreated|fileName=NewFile.txt"},
                .files = {"Projects/NewFile.txt"}},
        RunCase{.name = "WithoutAppOrCreateThePresetSendsWhateverItsModeSays",
                .desk = desk(),
                .preset = with(aiPreset({"chatgpt-app"}),
                               [](PresetData& p) { p.mode = "activate-app"; }),
                .statuses = kSent,
                .story = then({"cmd+c->copy"}, kToCodex),
                .sleeps = {200ms, 300ms, 300ms, 300ms},
                .sent = {"codex: world"}}),
    runName);

class PresetRunTest : public SimExecutionFixture {};

// The main window comes forward only once the error is on the status line. lastError keeps
// only a thrown failure, not one the action reported, and each run starts without one.
TEST_F(PresetRunTest, AThrownFailureIsShownBeforeTheWindowAndKeptAsTheLastError) {
    load(chatDesk(failing(chatApp(kChatGPT, "ChatGPT", false), "ChatGPT is not running")));
    Strings seenByWindow;
    notifications_.addObserver(notifications::showMainWindow, [&](const AppNotification&) {
        seenByWindow.push_back(currentStatus());
    });

    EXPECT_EQ(run(aiPreset({"chatgpt-app"})), text("status.chatgptCannotLaunch"));
    EXPECT_THAT(seenByWindow, ElementsAre(error("status.chatgptCannotLaunch")));
    EXPECT_EQ(executor_->lastError(), text("status.chatgptCannotLaunch"));
    // The source application is remembered for the next run, whatever became of this one.
    ASSERT_TRUE(tracker_->previousApp());
    EXPECT_EQ(tracker_->previousApp()->bundleIdentifier(), kEditor);

    EXPECT_EQ(run(action("Nowhere")), text("status.cannotLaunch", {{"appName", "Nowhere"}}));
    EXPECT_EQ(executor_->lastError(), std::nullopt);
}

// Opening a file wins over sending; a path the workspace refuses (a leading "~" is not
// expanded) is reported by the action, nothing is thrown.
TEST_F(PresetRunTest, AFileIsOpenedWithItsApplicationAndARefusedPathIsReported) {
    load(desk({}, kEditor, {{"files", {{"~/notes.txt", "hi"}}}}));
    PresetData preset = action("", std::nullopt, (sim_->homeDirectory() / "notes.txt").string());

    EXPECT_EQ(run(preset), std::nullopt);
    EXPECT_EQ(story(), Strings{"fileOpened editor notes.txt"});
    EXPECT_THAT(statuses(), ElementsAre(text("status.openingFile"), text("status.fileOpened")));

    markStart();
    preset.filePath = "~/notes.txt";
    EXPECT_EQ(run(preset), text("status.fileOpenFailed", {{"result", "Cannot open file"}}));
    EXPECT_EQ(story(), Strings{"openRefused notes.txt"});
    EXPECT_THAT(statuses(),
                ElementsAre(text("status.openingFile"),
                            error("status.fileOpenFailed", {{"result", "Cannot open file"}})));
    EXPECT_EQ(executor_->lastError(), std::nullopt);
}

// The Terminal gets the capture's path and the file stays; a chat app gets the image and the
// file goes. Both live in a directory of the user's own.
TEST_F(PresetRunTest, CaptureFilesStayOnlyForTheTerminal) {
    load(desk({terminalApp(true, true)}));

    EXPECT_EQ(run(capture({"terminal"}, "What is this?", /*autoSend=*/false)), std::nullopt);
    const std::filesystem::path file = runtimeDirectory() / "orvex-capture-1766016000200.png";
    EXPECT_EQ(sim_->elementValue(kTerminal, "shell"), file.string() + "\nWhat is this?");
    struct stat info {};
    ASSERT_EQ(::stat(runtimeDirectory().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    userActivates(kEditor);
    EXPECT_EQ(run(capture({"chatgpt-app"}, "", true)), std::nullopt);
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(runtimeDirectory())) {
        files.push_back(entry.path());
    }
    EXPECT_EQ(files, std::vector<std::filesystem::path>{file});
}

}  // namespace
}  // namespace orvex::execution_test

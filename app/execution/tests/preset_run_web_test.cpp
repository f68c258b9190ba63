// Whole AI-send presets whose destination is reached as a web page in the browser, and the
// browser's failures as the status line shows them.

#include "app/execution/tests/sim_execution_fixture.h"

namespace orvex::execution_test {
namespace {

// The AI services' pages are chat pages; nothing of them is installed as an app, so every AI
// destination takes the web route. Chrome shows these pages, front window first.
std::string webDesk(const Strings& pages, Json extra = Json::object()) {
    extra["webPages"] = {
        {"chatgpt.com", {{"page", "chat"}, {"title", "ChatGPT"}}},
        {"gemini.google.com", {{"page", "chat"}, {"title", "Gemini"}, {"inputLabel", "Gemini"}}},
        {"claude.ai",
         {{"page", "chat"},
          {"title", "Claude"},
          {"inputLabel", "クロードにプロンプトを入力してください"}}}};
    std::vector<Json> windows;
    for (const std::string& page : pages) {
        windows.push_back(browserWindow({{{"url", page}}}));
    }
    std::vector<Json> apps = {editor("Hello world", 6, 5)};
    if (!pages.empty()) {
        apps.push_back(chrome(windows));
    }
    return scenario(apps, kEditor, extra);
}

using WebRuns = RunTest;
TEST_P(WebRuns, Run) {
    expectRun(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Web, WebRuns,
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
        // label. Pasted, not sent.
        RunCase{.name = "GeminiIsOpenedInANewTab",
                .desk = webDesk({"https://news.example/"}),
                .preset = aiPreset({"gemini-app"}, "", /*autoSend=*/false),
                .statuses = {"status.openingBrowser", "status.loadingPage", "status.sending",
                             "status.sent"},
                .story = {"cmd+c->copy", "activate Chrome",
                          "tabOpened Chrome https://gemini.google.com/app", "search --hint Gemini",
                          "cmd+v->paste"},
                .sleeps = {200ms, 300ms, 4000ms, 300ms}},
        RunCase{
            .name = "ClaudeIsOpenedInANewTab",
            .desk = webDesk({"https://news.example/"}),
            .preset = aiPreset({"claude-app"}, "", /*autoSend=*/false),
            .statuses = {"status.openingBrowser", "status.loadingPage", "status.sending",
                         "status.sent"},
            .story = {"cmd+c->copy", "activate Chrome", "tabOpened Chrome https://claude.ai/new",
                      "search --hint クロード", "cmd+v->paste"},
            .sleeps = {200ms, 300ms, 4000ms, 300ms}},
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

}  // namespace
}  // namespace orvex::execution_test

// Whole AI-send presets whose destination is reached as a web page in the browser, and the
// browser's failures as the status line shows them.

#include "app/execution/tests/sim_execution_fixture.h"

namespace orvex::execution_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class WebSendTest : public SimExecutionFixture {
  protected:
    // The AI services' pages are chat pages; nothing of them is installed as an app, so
    // every AI destination takes the web route.
    static Json webPages() {
        return {{"chatgpt.com", {{"page", "chat"}, {"title", "ChatGPT"}}},
                {"gemini.google.com",
                 {{"page", "chat"}, {"title", "Gemini"}, {"inputLabel", "Gemini"}}},
                {"claude.ai",
                 {{"page", "chat"},
                  {"title", "Claude"},
                  {"inputLabel", "クロードにプロンプトを入力してください"}}}};
    }
    static Json tab(const std::string& url) { return {{"url", url}}; }
};

TEST_F(WebSendTest, AnOpenTabOfTheServiceIsReusedAfterAShortWait) {
    load(scenario(
        {editor("Hello world", 6, 5), chrome({browserWindow({tab("https://news.example/")}),
                                              browserWindow({tab("https://chatgpt.com/c/1")})})},
        kEditor, {{"webPages", webPages()}}));

    EXPECT_EQ(run(aiPreset({"chatgpt-app"}, "Translate:")), std::nullopt);

    EXPECT_THAT(events("tabOpened"), IsEmpty());
    EXPECT_EQ(events("windowRaised").size(), 1u);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].appKey, kChrome);
    EXPECT_EQ(messages()[0].url, "https://chatgpt.com/c/1");
    EXPECT_EQ(messages()[0].text, "Translate:\nworld");
    EXPECT_THAT(sleeps(), ElementsAre(200ms, 300ms, 500ms, 300ms));
    EXPECT_THAT(statuses(),
                ElementsAre(ok("status.openingBrowser"), ok("status.sending"), ok("status.sent")));
    // ChatGPT's page is searched without a hint.
    std::vector<Json> searches = events("processRun");
    ASSERT_EQ(searches.size(), 1u);
    EXPECT_EQ(searches[0].at("arguments"), Json::array());
}

TEST_F(WebSendTest, WithoutATabThePageIsOpenedGivenTimeToLoadAndItsInputFoundByItsHint) {
    load(scenario(
        {editor("Hello world", 6, 5), chrome({browserWindow({tab("https://news.example/")})})},
        kEditor, {{"webPages", webPages()}}));
    const std::vector<std::tuple<std::string, std::string, std::string>> cases{
        {"gemini-app", config_.geminiWeb.address, "Gemini"},
        {"claude-app", config_.claudeWeb.address, "クロード"},
    };
    for (const auto& [destination, address, hint] : cases) {
        userActivates(kEditor);
        markStart();
        EXPECT_EQ(run(aiPreset({destination}, "", /*autoSend=*/false)), std::nullopt);

        std::vector<Json> opened = events("tabOpened");
        ASSERT_EQ(opened.size(), 1u) << destination;
        EXPECT_EQ(opened[0].at("url"), address);
        EXPECT_THAT(sleeps(), ElementsAre(200ms, 300ms, 4000ms, 300ms));
        EXPECT_THAT(statuses(), ElementsAre(ok("status.openingBrowser"), ok("status.loadingPage"),
                                            ok("status.sending"), ok("status.sent")));
        // Pasted into the service's input, found by its label; not sent.
        std::vector<Json> searches = events("processRun");
        ASSERT_EQ(searches.size(), 1u);
        EXPECT_EQ(searches[0].at("arguments"), Json({"--hint", hint}));
        EXPECT_EQ(events("paste").size(), 1u);
        EXPECT_THAT(messages(), IsEmpty());
    }
}

TEST_F(WebSendTest, ABrowserThatRefusesAutomationIsReportedAsAPermissionProblem) {
    load(scenario(
        {editor("Hello world", 6, 5), chrome({browserWindow({tab("https://news.example/")})})},
        kEditor, {{"webPages", webPages()}, {"permissions", {{"browserAutomation", "denied"}}}}));

    std::optional<std::string> failure = run(aiPreset({"chatgpt-app"}));

    EXPECT_EQ(failure, text("status.chromePermission"));
    EXPECT_THAT(statuses(),
                ElementsAre(ok("status.openingBrowser"), error("status.chromePermission")));
    EXPECT_THAT(events("paste"), IsEmpty());
}

TEST_F(WebSendTest, AMissingBrowserIsReportedAsNotInstalled) {
    load(scenario({editor("Hello world", 6, 5)}, kEditor, {{"webPages", webPages()}}));

    EXPECT_EQ(run(aiPreset({"claude-app"})), text("status.chromeNotInstalled"));
}

}  // namespace
}  // namespace orvex::execution_test

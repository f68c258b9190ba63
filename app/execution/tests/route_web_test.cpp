#include <gtest/gtest.h>

#include "app/execution/apple_script_error.h"
#include "app/execution/send_errors.h"
#include "app/execution/web_route.h"
#include "base/log.h"
#include "route_fixture.h"

namespace orvex::route_test {
namespace {

using Strings = std::vector<std::string>;
using Sleeps = std::vector<Clock::Duration>;

// Chrome with the given windows (front first); the three services serve chat pages, the
// Gemini and Claude inputs labelled as their real pages are.
std::string chromeDesk(const std::string& chromeWindows, const std::string& automation = "granted",
                       bool chromeRunning = true) {
    return R"({"self": {"bundleId": "com.tavrin.orvex", "name": "Orvex"},
      "frontmost": "com.apple.TextEdit",
      "permissions": {"browserAutomation": ")" +
           automation + R"("},
      "webPages": {
        "chatgpt.com": {"title": "ChatGPT", "page": "chat"},
        "gemini.google.com": {"title": "Gemini", "page": "chat",
                              "inputLabel": "Gemini にメッセージを送信"},
        "claude.ai": {"title": "Claude", "page": "chat",
                      "inputLabel": "クロードにプロンプトを入力してください"}},
      "applications": [
        {"bundleId": "com.apple.TextEdit", "name": "TextEdit", "kind": "editor", "running": true},
        {"bundleId": "com.google.Chrome", "name": "Google Chrome", "kind": "browser",
         "running": )" +
           (chromeRunning ? "true" : "false") + R"(, "windows": )" + chromeWindows + "}]}";
}

// A blank window in front; behind it, a window whose second (inactive) tab is ChatGPT.
const char* kChatGPTTabBehind = R"([
    {"tabs": [{"url": "https://news.example/"}]},
    {"tabs": [{"url": "https://docs.example/"}, {"url": "https://chatgpt.com/c/42"}],
     "activeTab": 1}])";

class WebRouteTest : public RouteFixture {
  protected:
    std::vector<SimMessage> messages() const { return sim_->messages(); }
};

TEST_F(WebRouteTest, ExistingTabIsBroughtForwardAndGetsHalfASecond) {
    load(chromeDesk(kChatGPTTabBehind));
    sendToWeb(context(), "hello", WebFlavor::chatgpt, true);

    EXPECT_EQ(statuses(), (std::vector<Status>{{text("status.openingBrowser"), false},
                                               {text("status.sending"), false}}));
    EXPECT_EQ(sleeps(), (Sleeps{500ms, 300ms}));  // the tab, then the paste script's pause
    EXPECT_TRUE(events("tabOpened").empty());
    EXPECT_EQ(events("windowRaised").size(), 1u);
    EXPECT_EQ(events("processRun").front().at("arguments"), Json::array());
    EXPECT_EQ(keys(), (Strings{"command+v", "return"}));
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, "hello");
    EXPECT_EQ(messages()[0].url, "https://chatgpt.com/c/42");
}

TEST_F(WebRouteTest, WithoutATabThePageIsOpenedAndGetsFourSeconds) {
    load(chromeDesk("[]"));
    sendToWeb(context(), "hello", WebFlavor::chatgpt, true);

    EXPECT_EQ(statuses(), (std::vector<Status>{{text("status.openingBrowser"), false},
                                               {text("status.loadingPage"), false},
                                               {text("status.sending"), false}}));
    EXPECT_EQ(sleeps(), (Sleeps{4s, 300ms}));
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].url, config_.chatgptWeb.address);
}

TEST_F(WebRouteTest, GeminiAndClaudePagesAreSearchedWithTheirHints) {
    load(chromeDesk(R"([{"tabs": [{"url": "https://news.example/"}]}])"));
    sendToWeb(context(), "one", WebFlavor::gemini, false);
    sendToWeb(context(), "two", WebFlavor::claude, true);

    std::vector<Json> runs = events("processRun");
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].at("arguments"), Json::array({"--hint", "Gemini"}));
    EXPECT_EQ(runs[1].at("arguments"), Json::array({"--hint", "クロード"}));
    // Gemini was only pasted into; Claude's page received its message.
    EXPECT_EQ(keys(), (Strings{"command+v", "command+v", "return"}));
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, "two");
    EXPECT_EQ(events("tabOpened").size(), 2u);
}

TEST_F(WebRouteTest, CapturePreparationShowsOnlyTheLoadingStatusAndPastesNothing) {
    load(chromeDesk("[]"));
    prepareWebForCapture(context(), WebFlavor::claude);
    EXPECT_EQ(statuses(), (std::vector<Status>{{text("status.loadingPage"), false}}));
    EXPECT_EQ(sleeps(), Sleeps{4s});
    EXPECT_TRUE(events("pasteboardWrite").empty());
    EXPECT_TRUE(events("keystroke").empty());
    EXPECT_EQ(events("processRun").size(), 1u);
}

TEST_F(WebRouteTest, AutomationDeniedIsReportedWithItsOwnText) {
    load(chromeDesk(kChatGPTTabBehind, "denied"));
    ScopedLogCapture log;
    try {
        sendToWeb(context(), "hello", WebFlavor::chatgpt, true);
        FAIL() << "no error";
    } catch (const AppleScriptError& error) {
        EXPECT_EQ(error.description(), "Chrome automation denied");
    }
    // The browser's own refusal, with its error number, is in the system log.
    EXPECT_TRUE(log.system().contains("-1743")) << ::testing::PrintToString(log.system().lines());
    EXPECT_TRUE(events("pasteboardWrite").empty());
    EXPECT_TRUE(events("keystroke").empty());
}

TEST_F(WebRouteTest, MissingChromeIsReportedAsNotInstalled) {
    load(R"({"applications": [
        {"bundleId": "com.apple.TextEdit", "name": "TextEdit", "kind": "editor", "running": true}]})");
    try {
        prepareWebForCapture(context(), WebFlavor::gemini);
        FAIL() << "no error";
    } catch (const AppleScriptError& error) {
        EXPECT_EQ(error.description(), "Chrome not installed");
    }
}

TEST_F(WebRouteTest, APageWithoutAnInputIsASendError) {
    load(chromeDesk(R"([{"tabs": [{"url": "https://chatgpt.com/login", "page": "custom",
                                    "elements": [{"role": "AXButton", "id": "login",
                                                  "title": "Log in"}]}]}])"));
    EXPECT_THROW(sendToWeb(context(), "hello", WebFlavor::chatgpt, true), SendError);
    EXPECT_TRUE(events("keystroke").empty());
}

}  // namespace
}  // namespace orvex::route_test

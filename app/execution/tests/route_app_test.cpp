#include <gtest/gtest.h>

#include "app/execution/app_route.h"
#include "app/execution/send_errors.h"
#include "route_fixture.h"

namespace orvex::route_test {
namespace {

using Strings = std::vector<std::string>;
using Sleeps = std::vector<Clock::Duration>;

// `chat` is the ChatGPT app's entry, spliced in; the editor is in front.
std::string desk(const std::string& chat) {
    return R"({"self": {"bundleId": "com.tavrin.orvex", "name": "Orvex"},
      "frontmost": "com.apple.TextEdit",
      "applications": [
        {"bundleId": "com.apple.TextEdit", "name": "TextEdit", "kind": "editor", "running": true},
        )" +
           chat + "]}";
}

const char* kChatWithWindow =
    R"({"bundleId": "com.openai.codex", "name": "ChatGPT", "kind": "chat", "running": true,
        "windows": [{"title": "ChatGPT"}]})";
const char* kChatNotRunning =
    R"({"bundleId": "com.openai.codex", "name": "ChatGPT", "kind": "chat"})";
const char* kChatWithoutWindows =
    R"({"bundleId": "com.openai.codex", "name": "ChatGPT", "kind": "chat", "running": true,
        "windows": []})";

class AppRouteTest : public RouteFixture {
  protected:
    std::vector<std::string> sentMessages() const {
        std::vector<std::string> texts;
        for (const SimMessage& message : sim_->messages()) {
            texts.push_back(message.appKey + ": " + message.text);
        }
        return texts;
    }
    // Event names of interest, in order.
    Strings milestones() const {
        Strings names;
        for (const std::string& name : eventNames()) {
            if (name == "launch" || name == "reopen" || name == "activate" || name == "newChat" ||
                name == "processRun" || name == "paste" || name == "messageSent" ||
                name == "pasteboardWrite") {
                names.push_back(name);
            }
        }
        return names;
    }
};

TEST_F(AppRouteTest, ReadinessOfRunningAppsWithAndWithoutWindows) {
    load(desk(kChatWithWindow));
    EXPECT_EQ(appReadiness(context(), "com.openai.codex"), AppReadiness::ready);
    EXPECT_EQ(appReadiness(context(), "com.openai.chat"), AppReadiness::notRunning);
    EXPECT_STREQ(toString(AppReadiness::noWindows), "no_windows");
    sim_->closeWindow(sim_->application("com.openai.codex")->windows.front());
    EXPECT_EQ(appReadiness(context(), "com.openai.codex"), AppReadiness::noWindows);
    sim_->terminate("com.openai.codex");
    EXPECT_EQ(appReadiness(context(), "com.openai.codex"), AppReadiness::notRunning);
}

TEST_F(AppRouteTest, AnUnreadableWindowListCountsAsReady) {
    load(desk(R"({"bundleId": "com.openai.codex", "name": "ChatGPT", "kind": "chat",
                  "running": true, "windows": [], "accessibilityBroken": true})"));
    EXPECT_EQ(appReadiness(context(), "com.openai.codex"), AppReadiness::ready);
}

TEST_F(AppRouteTest, RunningAppWithAWindowIsOnlyActivatedAndKeepsItsChat) {
    load(desk(kChatWithWindow));
    sendToApp(context(), "Summarize:\nthe text", "com.openai.codex", true);

    EXPECT_EQ(statuses(), (std::vector<Status>{{text("status.sending"), false}}));
    EXPECT_EQ(keys(), (Strings{"command+v", "return"}));
    EXPECT_TRUE(events("newChat").empty());
    EXPECT_TRUE(events("launch").empty());
    EXPECT_EQ(milestones(),
              (Strings{"pasteboardWrite", "activate", "processRun", "paste", "messageSent"}));
    EXPECT_EQ(events("processRun").front().at("arguments"),
              Json::array({"--app", "com.openai.codex"}));
    // 300 ms after the activation, then the paste script's own pause.
    EXPECT_EQ(sleeps(), (Sleeps{300ms, 300ms}));
    EXPECT_EQ(sentMessages(), Strings{"com.openai.codex: Summarize:\nthe text"});
}

TEST_F(AppRouteTest, AppThatIsNotRunningIsLaunchedAndGetsANewChat) {
    load(desk(kChatNotRunning));
    sendToApp(context(), "hello", "com.openai.codex", true);

    EXPECT_EQ(milestones(), (Strings{"pasteboardWrite", "launch", "activate", "newChat",
                                     "processRun", "paste", "messageSent"}));
    EXPECT_EQ(keys(), (Strings{"command+n", "command+v", "return"}));
    // Launch 500 ms, activation 300 ms, new chat 500 ms, then the paste script's pause.
    EXPECT_EQ(sleeps(), (Sleeps{500ms, 300ms, 500ms, 300ms}));
    EXPECT_EQ(sentMessages(), Strings{"com.openai.codex: hello"});
}

TEST_F(AppRouteTest, AppWithoutWindowsIsOpenedAgainAndGetsANewChat) {
    load(desk(kChatWithoutWindows));
    sendToApp(context(), "hello", "com.openai.codex", true);

    EXPECT_EQ(milestones(), (Strings{"pasteboardWrite", "reopen", "activate", "newChat",
                                     "processRun", "paste", "messageSent"}));
    EXPECT_EQ(sleeps(), (Sleeps{500ms, 300ms, 500ms, 300ms}));
    EXPECT_EQ(sentMessages(), Strings{"com.openai.codex: hello"});
}

TEST_F(AppRouteTest, WithoutAutoSendTheTextIsPastedButNotSent) {
    load(desk(kChatWithWindow));
    sendToApp(context(), "draft", "com.openai.codex", false);
    EXPECT_EQ(keys(), Strings{"command+v"});
    EXPECT_TRUE(sim_->messages().empty());
    EXPECT_EQ(sim_->elementValue("com.openai.codex", "input"), "draft");
}

TEST_F(AppRouteTest, CapturePreparationOpensAndFocusesWithoutPasting) {
    load(desk(kChatNotRunning));
    prepareAppForCapture(context(), "com.openai.codex");
    EXPECT_EQ(milestones(), (Strings{"launch", "activate", "newChat", "processRun"}));
    EXPECT_EQ(sim_->focusedElementId("com.openai.codex"), "input");
    EXPECT_TRUE(statuses().empty());
}

TEST_F(AppRouteTest, MissingAppAndRefusedLaunchAreThrown) {
    load(desk(R"({"bundleId": "com.google.GeminiMacOS", "name": "Gemini", "kind": "chat",
                  "launchError": "The application is damaged."})"));
    try {
        sendToApp(context(), "hello", "com.openai.codex", true);
        FAIL() << "no error";
    } catch (const AppNotFoundError& error) {
        EXPECT_EQ(error.description(), "App not found: com.openai.codex");
        EXPECT_STREQ(error.domain(), "AISendAction");
        EXPECT_EQ(error.code(), -1);
    }
    try {
        openApp(context(), "com.google.GeminiMacOS");
        FAIL() << "no error";
    } catch (const LaunchError& error) {
        EXPECT_EQ(error.description(), "The application is damaged.");
    }
    EXPECT_TRUE(events("keystroke").empty());
}

TEST_F(AppRouteTest, NoFocusableInputIsASendErrorAndNothingIsPasted) {
    load(desk(R"({"bundleId": "com.openai.codex", "name": "ChatGPT", "kind": "chat",
                  "running": true, "windows": [{"title": "Settings", "elements": [
                     {"role": "AXButton", "id": "ok", "title": "OK"}]}]})"));
    EXPECT_THROW(sendToApp(context(), "hello", "com.openai.codex", true), SendError);
    EXPECT_TRUE(events("keystroke").empty());
    EXPECT_EQ(events("processRun").size(), 1u);
}

}  // namespace
}  // namespace orvex::route_test

#include <gtest/gtest.h>

#include "app/execution/send_errors.h"
#include "app/execution/terminal_route.h"
#include "route_fixture.h"

namespace orvex::route_test {
namespace {

using Strings = std::vector<std::string>;
using Sleeps = std::vector<Clock::Duration>;

std::string terminalDesk(const std::string& terminal) {
    return R"({"self": {"bundleId": "com.tavrin.orvex", "name": "Orvex"},
      "frontmost": "com.apple.TextEdit",
      "applications": [
        {"bundleId": "com.apple.TextEdit", "name": "TextEdit", "kind": "editor", "running": true},
        )" +
           terminal + "]}";
}

std::string terminal(const std::string& extra) {
    return R"({"bundleId": "com.apple.Terminal", "name": "Terminal", "kind": "terminal",
               "path": "/Applications/Utilities/Terminal.app")" +
           extra + "}";
}

class TerminalRouteTest : public RouteFixture {
  protected:
    Strings received() const {
        Strings texts;
        for (const SimMessage& message : sim_->messages()) {
            texts.push_back(message.text);
        }
        return texts;
    }
};

TEST_F(TerminalRouteTest, TerminalWithAWindowIsPastedIntoAndSent) {
    load(terminalDesk(terminal(R"(, "running": true, "windows": [{"title": "zsh"}])")));
    sendToTerminal(context(), "/tmp/orvex-capture-1.png\nExplain", true);

    EXPECT_EQ(statuses(), (std::vector<Status>{{text("status.sending"), false}}));
    EXPECT_TRUE(events("launch").empty());
    EXPECT_TRUE(events("reopen").empty());
    EXPECT_EQ(keys(), (Strings{"command+v", "return"}));
    EXPECT_EQ(sleeps(), (Sleeps{300ms, 300ms}));  // the paste script's two pauses
    EXPECT_EQ(received(), Strings{"/tmp/orvex-capture-1.png\nExplain"});
}

TEST_F(TerminalRouteTest, TerminalWithoutAWindowIsOpenedAgainFirst) {
    load(terminalDesk(terminal(R"(, "running": true, "windows": [])")));
    sendToTerminal(context(), "ls", false);

    EXPECT_EQ(events("reopen").size(), 1u);
    EXPECT_EQ(sleeps(), (Sleeps{500ms, 300ms, 300ms}));
    // Without auto-send the text waits in the shell.
    EXPECT_EQ(keys(), Strings{"command+v"});
    EXPECT_TRUE(received().empty());
    EXPECT_EQ(sim_->elementValue("com.apple.Terminal", "shell"), "ls");
}

TEST_F(TerminalRouteTest, TerminalThatIsNotRunningIsLaunchedFromItsFolder) {
    load(terminalDesk(terminal("")));
    sendToTerminal(context(), "echo hi", true);
    ASSERT_EQ(events("launch").size(), 1u);
    EXPECT_EQ(events("launch")[0].at("app"), "com.apple.Terminal");
    EXPECT_EQ(received(), Strings{"echo hi"});
}

TEST_F(TerminalRouteTest, MissingTerminalIsAppNotFound) {
    load(terminalDesk(R"({"bundleId": "com.example.other", "name": "Other", "kind": "generic"})"));
    try {
        sendToTerminal(context(), "echo hi", true);
        FAIL() << "no error";
    } catch (const AppNotFoundError& error) {
        EXPECT_EQ(error.description(), "App not found: Terminal");
    }
    EXPECT_TRUE(events("pasteboardWrite").empty());
}

TEST_F(TerminalRouteTest, LaunchByNameLooksInTheApplicationFolders) {
    load(terminalDesk(R"({"bundleId": "com.example.notes", "name": "Notes", "kind": "editor"})"));
    launchAppByName(context(), "Notes");
    EXPECT_EQ(events("launch").size(), 1u);
    EXPECT_EQ(sim_->frontmostApplication()->key, "com.example.notes");
    EXPECT_THROW(launchAppByName(context(), "Nowhere"), AppNotFoundError);
}

}  // namespace
}  // namespace orvex::route_test

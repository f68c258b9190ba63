#include "desktop/sim/sim_scripting.h"

#include <gtest/gtest.h>

#include <chrono>

#include "desktop/sim/tests/sim_fixture.h"

namespace orvex {
namespace {

using namespace std::chrono_literals;

// An editor in front, a chat app, a terminal and a file manager, all running.
const char* kWorkDesk = R"({
  "frontmost": "com.example.editor",
  "applications": [
    {"bundleId": "com.example.editor", "name": "Editor", "kind": "editor", "running": true,
     "windows": [{"title": "doc", "elements": [
        {"role": "AXTextArea", "id": "doc", "value": "Hello brave new world", "settable": true,
         "focused": true, "selection": [6, 5]}]}]},
    {"bundleId": "com.openai.chat", "name": "ChatGPT", "kind": "chat", "running": true,
     "windows": [{"title": "ChatGPT"}]},
    {"bundleId": "com.apple.Terminal", "name": "Terminal", "kind": "terminal", "running": true,
     "windows": [{"title": "zsh"}, {"title": "logs", "minimized": true}]},
    {"bundleId": "com.apple.finder", "name": "Finder", "kind": "fileManager", "running": true,
     "windows": [{"folder": "/Users/me/Projects"}]}
  ]
})";

class SimScriptingTest : public SimFixture {
  protected:
    void SetUp() override { load(kWorkDesk); }

    ScriptOutcome run(const std::string& source) { return scripting_.host().run(source); }
    std::string value(const std::string& source) {
        ScriptOutcome outcome = run(source);
        EXPECT_FALSE(outcome.failed) << outcome.errorMessage.value_or("");
        return outcome.stringValue.value_or("<none>");
    }

    SimScripting scripting_{desktop_};
};

TEST_F(SimScriptingTest, InstallsItselfAsTheDesktopsScriptHost) {
    EXPECT_EQ(desktop_->desktop().scriptHost, &scripting_.host());
    {
        auto other = SimDesktop::create(clock_, queue_);
        { SimScripting temporary(other); }
        EXPECT_EQ(other->desktop().scriptHost, nullptr);
    }
}

TEST_F(SimScriptingTest, SystemEventsKnowsProcessesAndTheirWindows) {
    EXPECT_EQ(value("tell application \"System Events\" to return (name of processes) contains "
                    "\"Terminal\""),
              "true");
    EXPECT_EQ(value("tell application \"System Events\" to return (name of processes) contains "
                    "\"Safari\""),
              "false");
    // Minimized windows count too, as they do for the platform's process windows.
    EXPECT_EQ(value("tell application \"System Events\" to tell process \"Terminal\" to return "
                    "count of windows"),
              "2");
    ScriptOutcome missing = run(
        "tell application \"System Events\" to tell process \"Safari\" to return count of windows");
    EXPECT_TRUE(missing.failed);
    EXPECT_NE(missing.errorMessage->find("-1728"), std::string::npos);
}

TEST_F(SimScriptingTest, KeystrokesActOnTheFrontmostApplication) {
    // Select-all and copy in the editor, with the pause between them on the clock.
    EXPECT_EQ(value("tell application \"System Events\"\nkeystroke \"a\" using command down\n"
                    "delay 0.3\nkeystroke \"c\" using command down\nend tell"),
              "<none>");
    EXPECT_EQ(desktop_->pasteboardText(), "Hello brave new world");
    EXPECT_EQ(clock_.sleeps(), std::vector<Clock::Duration>{300ms});

    // Activate the chat app, paste and press Return: the message is sent.
    value("tell application \"ChatGPT\" to activate");
    ASSERT_EQ(desktop_->frontmostApplication()->name, "ChatGPT");
    ASSERT_TRUE(desktop_->userFocus("ChatGPT", "input"));
    value(
        "tell application \"System Events\"\nkeystroke \"v\" using {command down}\n"
        "keystroke return\nend tell");
    ASSERT_EQ(desktop_->messages().size(), 1u);
    EXPECT_EQ(desktop_->messages()[0].text, "Hello brave new world");

    ScriptOutcome bad = run("tell application \"System Events\" to keystroke \"v\" using 5");
    EXPECT_TRUE(bad.failed);
}

TEST_F(SimScriptingTest, RefusedKeystrokesReportThePlatformsError) {
    desktop_->setPermission(SimPermission::accessibility, SimPermissionState::denied);
    ScriptOutcome outcome =
        run("    tell application \"System Events\" to keystroke \"c\" using command down");
    ASSERT_TRUE(outcome.failed);
    EXPECT_NE(outcome.errorMessage->find("not allowed to send keystrokes"), std::string::npos);
    EXPECT_NE(outcome.errorMessage->find("(1002)"), std::string::npos);
}

TEST_F(SimScriptingTest, FinderReportsTheFolderOfItsFrontWindow) {
    const std::string script =
        "tell application \"Finder\"\nif (count of windows) > 0 then\nreturn POSIX path of "
        "(target of front window as alias)\nelse\nreturn \"\"\nend if\nend tell";
    EXPECT_EQ(value(script), "/Users/me/Projects/");
    for (const SimWindowInfo& window : desktop_->windows("Finder")) {
        desktop_->closeWindow(window.id);
    }
    EXPECT_EQ(value(script), "");
}

TEST_F(SimScriptingTest, ApplicationsAreFoundByNameAndUnknownOnesFail) {
    value("tell application \"terminal\" to activate");
    EXPECT_EQ(desktop_->frontmostApplication()->name, "Terminal");
    ScriptOutcome outcome = run("tell application \"Nowhere\" to activate");
    ASSERT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.errorMessage, "Can't get application \"Nowhere\". (-1728)");
}

TEST_F(SimScriptingTest, ShellScriptsHaveNoShellOnTheSimulatedDesktop) {
    ScriptOutcome outcome = run("do shell script \"defaults read com.apple.finder X\"");
    ASSERT_TRUE(outcome.failed);
    EXPECT_NE(outcome.errorMessage->find("could not start the shell"), std::string::npos);
}

}  // namespace
}  // namespace orvex

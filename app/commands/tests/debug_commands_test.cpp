#include <gtest/gtest.h>

#include "app/commands/debug_commands.h"
#include "app/commands/tests/command_fixture.h"
#include "app/execution/apple_script_runner.h"
#include "app/execution/apple_scripts.h"
#include "base/log.h"
#include "desktop/sim/sim_desktop.h"
#include "desktop/sim/sim_keyboard.h"
#include "desktop/sim/sim_pasteboard.h"
#include "desktop/sim/sim_processes.h"
#include "desktop/sim/sim_scenario.h"

namespace orvex::commands_test {
namespace {

using Strings = std::vector<std::string>;

// An editor in front with a focused, partly selected text area deep in its window, a chat
// app that runs, and a viewer whose window holds no text element.
const char* kScenario = R"({
  "permissions": {"accessibility": "granted"},
  "frontmost": "com.example.editor",
  "applications": [
    {"bundleId": "com.example.editor", "name": "Editor", "kind": "editor", "running": true,
     "windows": [{"title": "doc", "frame": [0, 0, 800, 600], "elements": [
        {"role": "AXGroup", "frame": [0, 0, 800, 600], "children": [
          {"role": "AXScrollArea", "frame": [0, 30, 800, 570], "children": [
            {"role": "AXTextArea", "id": "doc", "value": "Hello brave new wörld",
             "settable": true, "focused": true, "selection": [6, 5],
             "frame": [0, 30, 800, 570]}]}]}]}]},
    {"bundleId": "com.openai.codex", "name": "ChatGPT", "kind": "chat", "running": true,
     "windows": [{"title": "ChatGPT", "frame": [900, 0, 600, 800]}]},
    {"bundleId": "com.example.viewer", "name": "Viewer", "kind": "editor", "running": true,
     "windows": [{"title": "pic", "frame": [0, 0, 400, 300], "elements": [
        {"role": "AXButton", "title": "OK", "frame": [10, 10, 80, 30]}]}]}
  ]
})";

// Runs keystroke scripts the way the automation host would, on the simulated desktop.
class KeystrokeScriptHost final : public ScriptHost {
  public:
    explicit KeystrokeScriptHost(SimDesktop& desktop) : desktop_(desktop) {}
    ScriptOutcome run(const std::string& source) override {
        sources.push_back(source);
        if (source != selectAllAndCopyScript()) {
            return ScriptOutcome::failure("unexpected script");
        }
        KeyModifiers command;
        command.command = true;
        for (const char* key : {"a", "c"}) {
            if (auto error = desktop_.keystroke(key, command)) {
                return ScriptOutcome::failure(*error);
            }
        }
        return ScriptOutcome::success(std::nullopt);
    }
    Strings sources;

  private:
    SimDesktop& desktop_;
};

class DebugCommands : public CommandFixture {
  protected:
    void SetUp() override {
        auto error = applyScenarioText(*sim, kScenario, dir.path());
        ASSERT_FALSE(error) << *error;
        sim->setScriptHost(&scriptHost);
        simDesktop = sim->desktop();
        desktop = &simDesktop;
        scripts = &scriptRunner;
        startWithSampleList();
    }

    std::int32_t pidOf(const std::string& bundleId) {
        return simDesktop.runningApplications->runningApplications(bundleId)
            .at(0)
            ->processIdentifier();
    }

    std::shared_ptr<SimDesktop> sim = SimDesktop::create(clock, mainQueue);
    KeystrokeScriptHost scriptHost{*sim};
    Desktop simDesktop;
    AppleScriptRunner scriptRunner{scriptHost, sim->keyboard(), clock, tasks};
};

TEST_F(DebugCommands, AxReadReportsTheThreeMethodsLineByLine) {
    const std::string pid = std::to_string(pidOf("com.example.editor"));
    EXPECT_EQ(messageOf(ask("debug.ax-read")),
              "app=Editor pid=" + pid +
                  " trusted=true\n"
                  "method1_appFocused: 0\n"
                  "  role=AXTextArea sel='brave' selErr=0\n"
                  "method2_systemWide: 0\n"
                  "  role=AXTextArea val_len=21 sel='brave' selErr=0\n"
                  "method3_windows: 0\n"
                  "  found role=AXTextArea val_len=21 sel='brave' selErr=0");
}

TEST_F(DebugCommands, AxReadWithoutATextElementOrPermission) {
    ASSERT_TRUE(sim->userActivate("com.example.viewer"));
    mainQueue.runUntilIdle();
    const std::string report = messageOf(ask("debug.ax-read"));
    EXPECT_TRUE(report.starts_with("app=Viewer pid=")) << report;
    EXPECT_TRUE(report.ends_with("\nmethod3_windows: 0\n  no text element found")) << report;

    sim->setPermission(SimPermission::accessibility, SimPermissionState::denied);
    const std::string denied = messageOf(ask("debug.ax-read"));
    EXPECT_NE(denied.find(" trusted=false\nmethod1_appFocused: -25211\nmethod2_systemWide: "
                          "-25211\nmethod3_windows: -25211"),
              std::string::npos)
        << denied;
}

TEST_F(DebugCommands, AxSelectAllSelectsTheWholeFocusedText) {
    EXPECT_EQ(messageOf(ask("debug.ax-select-all")),
              "set_range=0 selected_len=21 text='Hello brave new wörld'");
    EXPECT_EQ(sim->elementSelection("com.example.editor", "doc"), (AXRange{0, 21}));

    sim->setPermission(SimPermission::accessibility, SimPermissionState::denied);
    EXPECT_EQ(ask("debug.ax-select-all").error, "AXFocusedUIElement failed: -25211");
}

TEST_F(DebugCommands, CgeventCopyReadsTheClipboardHalfASecondAfterTheKeystrokes) {
    sim->pasteboard().writeString("stale");
    send("debug.cgevent-copy");
    tasks.runAll();
    mainQueue.runUntilIdle();
    EXPECT_EQ(scriptHost.sources, Strings{selectAllAndCopyScript()});
    EXPECT_TRUE(answers.empty());
    mainQueue.advance(kDebugSettleDelay - std::chrono::milliseconds(1));
    EXPECT_TRUE(answers.empty());
    mainQueue.advance(std::chrono::milliseconds(1));
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(messageOf(answers[0]),
              "app=Editor trusted=true clipboard_len=21 text='Hello brave new wörld'");
}

TEST_F(DebugCommands, CgeventCopyReportsAnEmptyClipboardWhenTheKeystrokesAreRefused) {
    sim->setPermission(SimPermission::accessibility, SimPermissionState::denied);
    sim->pasteboard().writeString("stale");
    send("debug.cgevent-copy");
    tasks.runAll();
    mainQueue.runUntilIdle();
    mainQueue.advance(kDebugSettleDelay);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(messageOf(answers[0]), "app=Editor trusted=false clipboard_len=0 text=''");
}

TEST_F(DebugCommands, ActivateAppAnswersWithTheFrontmostAppHalfASecondLater) {
    ScopedLogCapture capture;
    send("debug.activate-app");
    mainQueue.runUntilIdle();
    EXPECT_TRUE(answers.empty());
    mainQueue.advance(kDebugSettleDelay);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(messageOf(answers[0]), "activate=true front=ChatGPT (com.openai.codex)");
    EXPECT_TRUE(capture.system().contains("[Debug] activate com.openai.codex result=1"));

    EXPECT_EQ(ask("debug.activate-app", {{"bundleId", "com.example.none"}}).error,
              "App not found: com.example.none");
    ASSERT_TRUE(sim->terminate("com.openai.codex"));
    EXPECT_EQ(ask("debug.activate-app").error, "App not found: com.openai.codex");
}

TEST_F(DebugCommands, PickInputRunsTheToolInListModeAndAnswersItsReport) {
    std::vector<Strings> calls;
    sim->processes().registerInProcessTool(
        "inputaim", [&calls](const Strings& arguments, std::string& out, std::string& err) {
            calls.push_back(arguments);
            if (arguments.size() > 1) {
                err = "\n  no such app\n";
                return 1;
            }
            out = "  1. AXTextArea doc\n";
            return 0;
        });
    send("debug.pick-input");
    mainQueue.runUntilIdle();
    EXPECT_TRUE(answers.empty());  // the tool runs on a task
    tasks.runAll();
    mainQueue.runUntilIdle();
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(messageOf(answers[0]), "1. AXTextArea doc");

    send("debug.pick-input", {{"bundleId", "x.y"}, {"hint", "Message"}});
    send("debug.pick-input", {{"hint", ""}});
    tasks.runAll();
    mainQueue.runUntilIdle();
    ASSERT_EQ(answers.size(), 3u);
    EXPECT_EQ(messageOf(answers[1]), "no such app");
    EXPECT_EQ(calls, (std::vector<Strings>{
                         {"--list"}, {"--list", "--app", "x.y", "--hint", "Message"}, {"--list"}}));
}

class DebugWithoutDesktop : public CommandFixture {
  protected:
    void SetUp() override { startWithSampleList(); }
};

TEST_F(DebugWithoutDesktop, EveryDiagnosticActionFailsClearly) {
    for (const char* action : {"debug.ax-read", "debug.ax-select-all", "debug.cgevent-copy",
                               "debug.activate-app", "debug.pick-input"}) {
        EXPECT_EQ(ask(action).error, kNoDesktopSession) << action;
    }
    // Everything else works without one.
    EXPECT_TRUE(ask("app.status").success);
}

}  // namespace
}  // namespace orvex::commands_test

#include <gtest/gtest.h>

#include "app/commands/debug_commands.h"
#include "app/commands/tests/command_fixture.h"
#include "app/execution/apple_script_runner.h"
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
const char* kScenario = R"({"permissions": {"accessibility": "granted"},
  "frontmost": "com.example.editor", "applications": [
    {"bundleId": "com.example.editor", "name": "Editor", "kind": "editor", "running": true,
     "windows": [{"title": "doc", "frame": [0, 0, 800, 600], "elements": [
       {"role": "AXGroup", "frame": [0, 0, 800, 600], "children": [
         {"role": "AXScrollArea", "frame": [0, 30, 800, 570], "children": [
           {"role": "AXTextArea", "id": "doc", "value": "Hello brave new wörld", "settable": true,
            "focused": true, "selection": [6, 5], "frame": [0, 30, 800, 570]}]}]}]}]},
    {"bundleId": "com.openai.codex", "name": "ChatGPT", "kind": "chat", "running": true,
     "windows": [{"title": "ChatGPT", "frame": [900, 0, 600, 800]}]},
    {"bundleId": "com.example.viewer", "name": "Viewer", "kind": "editor", "running": true,
     "windows": [{"title": "pic", "frame": [0, 0, 400, 300], "elements": [
       {"role": "AXButton", "title": "OK", "frame": [10, 10, 80, 30]}]}]}]})";

// Presses Command-A, Command-C on the simulated desktop, as the select-all-and-copy script
// does (which the program's own script host runs, app/ui/e2e).
class CopyingScriptHost final : public ScriptHost {
  public:
    explicit CopyingScriptHost(SimDesktop& desktop) : desktop_(desktop) {}
    ScriptOutcome run(const std::string&) override {
        KeyModifiers command;
        command.command = true;
        for (const char* key : {"a", "c"}) {
            if (auto error = desktop_.keystroke(key, command)) {
                return ScriptOutcome::failure(*error);
            }
        }
        return ScriptOutcome::success(std::nullopt);
    }

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

    std::shared_ptr<SimDesktop> sim = SimDesktop::create(clock, mainQueue);
    CopyingScriptHost scriptHost{*sim};
    Desktop simDesktop;
    AppleScriptRunner scriptRunner{scriptHost, sim->keyboard(), clock, tasks};
};

// The reports on a desktop in its ordinary state are checked through the running program
// on the demo desktop (app/ui/e2e); here, what that desktop does not show, and the timing.
TEST_F(DebugCommands, ProbesWithoutATextElementOrPermission) {
    // Characters are counted, not bytes.
    EXPECT_TRUE(messageOf(ask("debug.ax-select-all")).starts_with("set_range=0 selected_len=21 "));
    EXPECT_EQ(sim->elementSelection("com.example.editor", "doc"), (AXRange{0, 21}));

    ASSERT_TRUE(sim->userActivate("com.example.viewer"));
    mainQueue.runUntilIdle();
    const std::string report = messageOf(ask("debug.ax-read"));
    EXPECT_TRUE(report.starts_with("app=Viewer pid=")) << report;
    EXPECT_TRUE(report.ends_with("\nmethod3_windows: 0\n  no text element found")) << report;

    sim->setPermission(SimPermission::accessibility, SimPermissionState::denied);
    const std::string denied = messageOf(ask("debug.ax-read"));
    EXPECT_TRUE(
        denied.ends_with(" trusted=false\nmethod1_appFocused: -25211\nmethod2_systemWide: "
                         "-25211\nmethod3_windows: -25211"))
        << denied;
    EXPECT_EQ(ask("debug.ax-select-all").error, "AXFocusedUIElement failed: -25211");
}

TEST_F(DebugCommands, CopyAndActivateAnswerOnlyAfterTheSettleDelay) {
    const auto answeredJustAfterTheDelay = [this] {
        const std::size_t before = answers.size();
        mainQueue.advance(kDebugSettleDelay - std::chrono::milliseconds(1));
        const bool early = answers.size() != before;
        mainQueue.advance(std::chrono::milliseconds(1));
        return !early && answers.size() == before + 1;
    };
    send("debug.cgevent-copy");
    tasks.runAll();
    mainQueue.runUntilIdle();
    EXPECT_TRUE(answeredJustAfterTheDelay());
    send("debug.activate-app");
    EXPECT_TRUE(answeredJustAfterTheDelay());
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_TRUE(messageOf(answers[0]).starts_with("app=Editor trusted=true clipboard_len=21 "));
    EXPECT_EQ(messageOf(answers[1]), "activate=true front=ChatGPT (com.openai.codex)");

    // Refused keystrokes leave the cleared clipboard, not the last copy; a default app that
    // has gone is named.
    sim->setPermission(SimPermission::accessibility, SimPermissionState::denied);
    ASSERT_TRUE(sim->terminate("com.openai.codex"));
    EXPECT_EQ(ask("debug.activate-app").error, "App not found: com.openai.codex");
    send("debug.cgevent-copy");
    tasks.runAll();
    mainQueue.runUntilIdle();
    mainQueue.advance(kDebugSettleDelay);
    EXPECT_EQ(messageOf(answers.back()), "app=Editor trusted=false clipboard_len=0 text=''");
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
    send("debug.pick-input", {{"bundleId", "x.y"}, {"hint", "Message"}});
    send("debug.pick-input", {{"hint", ""}});
    mainQueue.runUntilIdle();
    EXPECT_TRUE(answers.empty());  // the tool runs on a task
    tasks.runAll();
    mainQueue.runUntilIdle();
    ASSERT_EQ(answers.size(), 3u);
    EXPECT_EQ(messageOf(answers[0]), "1. AXTextArea doc");
    EXPECT_EQ(messageOf(answers[1]), "no such app");
    EXPECT_EQ(calls, (std::vector<Strings>{
                         {"--list"}, {"--list", "--app", "x.y", "--hint", "Message"}, {"--list"}}));
}

}  // namespace
}  // namespace orvex::commands_test

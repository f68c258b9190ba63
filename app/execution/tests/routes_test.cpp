// Route-level cases a whole run cannot reach: a target that quit between the choice and
// the send, an unreadable window list, and the input finder tool failing in every way a
// process can.
#include <gtest/gtest.h>

#include "app/execution/app_route.h"
#include "app/execution/inputaim_invocation.h"
#include "app/execution/last_input_route.h"
#include "app/execution/send_errors.h"
#include "app/execution/tests/sim_execution_fixture.h"
#include "app/execution/web_route.h"
#include "desktop/sim/sim_processes.h"

namespace orvex::execution_test {
namespace {

// Safari with a page that has a link and a text area; an editor in front.
const char* kBrowserDesk = R"({
  "self": {"bundleId": "com.tavrin.orvex", "name": "Orvex"},
  "frontmost": "com.apple.TextEdit",
  "applications": [
    {"bundleId": "com.apple.TextEdit", "name": "TextEdit", "kind": "editor", "running": true},
    {"bundleId": "com.apple.Safari", "name": "Safari", "kind": "browser", "running": true,
     "windows": [{"tabs": [{"url": "https://forum.example/", "page": "custom", "elements": [
        {"role": "AXLink", "id": "link", "title": "Home"},
        {"role": "AXTextArea", "id": "reply", "value": "", "settable": true,
         "description": "Reply", "frame": [100, 300, 600, 200]}]}]}]}
  ]
})";

class RoutesTest : public SimExecutionFixture {};

class LastInputRouteTest : public RoutesTest {
  protected:
    void SetUp() override { load(kBrowserDesk); }
};

TEST_F(LastInputRouteTest, ATargetThatQuitEndsWithNoBrowser) {
    RunningApplicationRef safari = running("com.apple.Safari");
    sim_->terminate("com.apple.Safari");
    sendToLastInput(*context_, "hello", true, safari);

    EXPECT_EQ(statuses(), Strings{error("status.noBrowser")});
    EXPECT_EQ(showMainWindowCount(), 1);
    EXPECT_TRUE(events("pasteboardWrite").empty());
    EXPECT_THROW(prepareLastInputForCapture(*context_, safari), GenericSendError);
}

TEST_F(RoutesTest, AnUnreadableWindowListCountsAsReady) {
    load(R"({"applications": [{"bundleId": "com.openai.codex", "name": "ChatGPT", "kind": "chat",
                               "running": true, "windows": [], "accessibilityBroken": true}]})");
    EXPECT_EQ(appReadiness(*context_, "com.openai.codex"), AppReadiness::ready);
}

// A process runner that answers every run with `result`; by default it cannot start
// anything, as when the tool is missing or not executable.
class CannedProcesses final : public Processes {
  public:
    ProcessResult run(const std::string& executable, const Strings& arguments) override {
        executables.push_back(executable);
        lastArguments = arguments;
        return result;
    }
    std::optional<std::string> bundledToolPath(const std::string&) override { return std::nullopt; }
    ProcessResult result{false, "No such file or directory", -1, "", ""};
    Strings executables;
    Strings lastArguments;
};

TEST_F(LastInputRouteTest, ToolThatCannotStartFailsLikeNoInputFound) {
    CannedProcesses processes;
    Desktop desktop = desktop_;
    desktop.processes = &processes;

    InputaimResult result = runInputaim(desktop, {"--app", "com.apple.Safari"});
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.output, "");
    EXPECT_EQ(result.errorOutput, "inputaim を実行できません: No such file or directory");
    // Without a shipped tool, it is looked for inside the application's own bundle.
    EXPECT_EQ(processes.executables,
              Strings{desktop_.workspace->ownApplicationPath() + "/Contents/Resources/inputaim"});
    EXPECT_EQ(inputaimList(desktop, std::nullopt, std::string("Gemini")), result.errorOutput);
    EXPECT_EQ(processes.lastArguments, (Strings{"--list", "--hint", "Gemini"}));

    // To a route, a tool that cannot run is an input that cannot be found.
    ExecutionContext withoutTool{
        desktop,        clock_,    queue_,    appState_, i18n_,
        notifications_, *scripts_, *tracker_, config_,   captureDirectories_};
    ASSERT_TRUE(sim_->userFocus("com.apple.Safari", "link"));
    EXPECT_THROW(sendToLastInput(withoutTool, "hi", true, running("com.apple.Safari")),
                 GenericSendError);
    EXPECT_THROW(prepareAppForCapture(withoutTool, "com.apple.Safari"), SendError);
}

TEST_F(LastInputRouteTest, ToolOutputIsTrimmedAndMustBeUtf8) {
    CannedProcesses processes;
    processes.result = {true, "", 0, "  focused AXTextArea \"Reply\"\n", "\xff\xfe broken\n"};
    Desktop desktop = desktop_;
    desktop.processes = &processes;
    InputaimResult result = runInputaim(desktop, {});
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.output, "focused AXTextArea \"Reply\"");
    EXPECT_EQ(result.errorOutput, "");

    processes.result = {true, "", 3, "", "  no input field found\n"};
    EXPECT_FALSE(inputaimFocus(desktop, std::nullopt, std::nullopt));
    EXPECT_EQ(inputaimList(desktop, std::nullopt, std::nullopt), "no input field found");
}

}  // namespace
}  // namespace orvex::execution_test

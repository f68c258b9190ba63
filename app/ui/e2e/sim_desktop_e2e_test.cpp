// Orvex on the simulated demo desktop: a preset run from the command line reaches the chat
// application, and the diagnostic actions see the simulated desktop.

#include <gtest/gtest.h>

#include "app/ui/e2e/e2e_support.h"

namespace orvex::e2e {
namespace {

constexpr const char* kSelection =
    "The release moves to Friday because the installer still fails on clean machines.";

std::vector<Json> journalEvents(const std::filesystem::path& journal, const std::string& kind) {
    std::vector<Json> events;
    std::istringstream lines(readText(journal));
    for (std::string line; std::getline(lines, line);) {
        auto parsed = parseJson(line);
        if (parsed.value && (*parsed.value)["event"] == kind) {
            events.push_back(*parsed.value);
        }
    }
    return events;
}

class DemoDesktopEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(orvex.started()) << orvex.output() << orvex.log(); }
    void TearDown() override { EXPECT_EQ(orvex.stop(), 0) << orvex.log(); }

    Sandbox sandbox;
    std::filesystem::path journal = sandbox.root() / "journal.jsonl";
    Orvex orvex{sandbox,
                {"--desktop", "sim:" + demoScenario().string(), "--journal", journal.string()}};
};

TEST_F(DemoDesktopEndToEnd, PresetSendsTheEditorSelectionToTheChatApp) {
    CliResult created =
        runCli(sandbox, {"preset.create", "--label", "Ask ChatGPT", "--destinations", "chatgpt-app",
                         "--fixedPrompt", "Summarize:"});
    ASSERT_EQ(created.status, 0) << created.output;
    const std::string id = created.json["data"]["preset"]["id"];

    CliResult run = runCli(sandbox, {"preset.execute", "--id", id});
    EXPECT_EQ(run.status, 0) << run.output << orvex.log();
    EXPECT_EQ(run.message(), "Executed: Ask ChatGPT");

    auto sent = journalEvents(journal, "messageSent");
    ASSERT_EQ(sent.size(), 1u) << readText(journal);
    EXPECT_EQ(sent[0]["app"], "com.openai.codex");
    EXPECT_EQ(sent[0]["text"], std::string("Summarize:\n") + kSelection);
    // The hot keys of the factory presets were registered on the desktop.
    EXPECT_FALSE(journalEvents(journal, "hotKeyRegistered").empty());

    // A run that ends on an error in the status line is a failure to its caller.
    ASSERT_EQ(runCli(sandbox, {"preset.update", "--id", "1", "--appName", "No Such App"}).status,
              0);
    CliResult failed = runCli(sandbox, {"preset.execute", "--id", "1"});
    EXPECT_EQ(failed.status, 1) << failed.output;
    EXPECT_EQ(failed.error(), "Executed with error: Could not launch No Such App.");
}

TEST_F(DemoDesktopEndToEnd, DiagnosticActionsProbeTheSimulatedDesktop) {
    // TextEdit is the second process the demo desktop starts; its text is 133 characters,
    // all of them selected after the select-all.
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"debug.ax-read"},
         "app=TextEdit pid=501 trusted=true\n"
         "method1_appFocused: 0\n"
         "  role=AXTextArea sel='The release moves to Friday be' selErr=0\n"
         "method2_systemWide: 0\n"
         "  role=AXTextArea val_len=133 sel='The release moves to Friday be' selErr=0\n"
         "method3_windows: 0\n"
         "  found role=AXTextArea val_len=133 sel='The release moves to Friday be' selErr=0"},
        {{"debug.ax-select-all"},
         "set_range=0 selected_len=133 text='Meeting notes, Tuesday. The release moves to Frida'"},
        {{"debug.cgevent-copy"},
         "app=TextEdit trusted=true clipboard_len=133 text='Meeting notes, Tuesday. The release "
         "moves to Friday because the installer still '"},
        {{"debug.activate-app"}, "activate=true front=ChatGPT (com.openai.codex)"},
    };
    for (const auto& [arguments, message] : cases) {
        CliResult result = runCli(sandbox, arguments);
        EXPECT_EQ(result.status, 0) << result.output;
        EXPECT_EQ(result.message(), message);
    }
    CliResult pick = runCli(sandbox, {"debug.pick-input", "--bundleId", "com.openai.codex"});
    EXPECT_EQ(pick.status, 0) << pick.output;
    EXPECT_TRUE(pick.message().starts_with("app=ChatGPT window=")) << pick.output;
    EXPECT_EQ(runCli(sandbox, {"debug.activate-app", "--bundleId", "com.example.none"}).error(),
              "App not found: com.example.none");
}

// Without --journal the journal goes to the settings directory.
TEST(DemoDesktopStartUp, TestPresetRunsFiveSecondsAfterStart) {
    Sandbox sandbox;
    const auto journal = sandbox.orvexDirectory() / "sim-desktop/journal.jsonl";
    // Factory preset "1" sends the selection to the chat app with its dictionary prompt.
    Orvex orvex(sandbox, {"--desktop", "sim:" + demoScenario().string(), "--test-preset", "1"});
    ASSERT_TRUE(orvex.started()) << orvex.log();
    EXPECT_NE(orvex.output().find("journal: " + journal.string() + "\n"), std::string::npos);
    ASSERT_TRUE(waitUntil([&] { return !journalEvents(journal, "messageSent").empty(); }, 30000ms))
        << readText(journal);
    auto sent = journalEvents(journal, "messageSent");
    EXPECT_NE(sent[0]["text"].get<std::string>().find(kSelection), std::string::npos);
    EXPECT_EQ(orvex.stop(), 0);
}

}  // namespace
}  // namespace orvex::e2e

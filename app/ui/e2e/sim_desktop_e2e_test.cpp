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
    EXPECT_NE(orvex.output().find("journal: " + journal.string()), std::string::npos);
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
    CliResult missing =
        runCli(sandbox, {"preset.create", "--label", "Nowhere", "--appName", "No Such App"});
    ASSERT_EQ(missing.status, 0) << missing.output;
    CliResult failed =
        runCli(sandbox, {"preset.execute", "--id", missing.json["data"]["preset"]["id"]});
    EXPECT_EQ(failed.status, 1) << failed.output;
    EXPECT_EQ(failed.error(), "Executed with error: Could not launch No Such App.");
}

TEST_F(DemoDesktopEndToEnd, DiagnosticActionsProbeTheSimulatedDesktop) {
    CliResult read = runCli(sandbox, {"debug.ax-read"});
    EXPECT_EQ(read.status, 0) << read.output;
    EXPECT_EQ(read.message().rfind("app=TextEdit pid=", 0), 0u) << read.output;

    CliResult selectAll = runCli(sandbox, {"debug.ax-select-all"});
    EXPECT_EQ(selectAll.status, 0) << selectAll.output;
    EXPECT_EQ(selectAll.message().rfind("set_range=0 selected_len=", 0), 0u) << selectAll.output;

    CliResult copy = runCli(sandbox, {"debug.cgevent-copy"});
    EXPECT_EQ(copy.status, 0) << copy.output;
    EXPECT_EQ(copy.message().rfind("app=TextEdit trusted=true clipboard_len=", 0), 0u)
        << copy.output;

    CliResult pick = runCli(sandbox, {"debug.pick-input", "--bundleId", "com.openai.codex"});
    EXPECT_EQ(pick.status, 0) << pick.output;
    EXPECT_FALSE(pick.message().empty());

    CliResult missing = runCli(sandbox, {"debug.activate-app", "--bundleId", "com.example.none"});
    EXPECT_EQ(missing.error(), "App not found: com.example.none");
    CliResult activate = runCli(sandbox, {"debug.activate-app"});
    EXPECT_EQ(activate.message(), "activate=true front=ChatGPT (com.openai.codex)")
        << activate.output;
}

TEST(DemoDesktopStartUp, TestPresetRunsFiveSecondsAfterStart) {
    Sandbox sandbox;
    auto journal = sandbox.root() / "journal.jsonl";
    // Factory preset "1" sends the selection to the chat app with its dictionary prompt.
    Orvex orvex(sandbox, {"--desktop", "sim:" + demoScenario().string(), "--journal",
                          journal.string(), "--test-preset", "1"});
    ASSERT_TRUE(orvex.started()) << orvex.log();
    ASSERT_TRUE(waitUntil([&] { return !journalEvents(journal, "messageSent").empty(); }, 30000ms))
        << readText(journal);
    auto sent = journalEvents(journal, "messageSent");
    EXPECT_NE(sent[0]["text"].get<std::string>().find(kSelection), std::string::npos);
    EXPECT_EQ(orvex.stop(), 0);
}

}  // namespace
}  // namespace orvex::e2e

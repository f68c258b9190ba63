#include <gmock/gmock.h>

#include "desktop/sim/sim_processes.h"
#include "desktop/sim/tests/sim_fixture.h"

namespace orvex {
namespace {

class ProcessesTest : public SimFixture {
  protected:
    void SetUp() override {
        load(kEditorAndChat);
        d_ = desktop_->desktop();
    }
    Desktop d_;
};

TEST_F(ProcessesTest, UnregisteredInputaimFailsVisibly) {
    auto path = d_.processes->bundledToolPath("inputaim");
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, "/Applications/Orvex.app/Contents/Resources/inputaim");
    ProcessResult result = d_.processes->run(*path, {"--list"});
    EXPECT_TRUE(result.started);
    EXPECT_NE(result.exitStatus, 0);
    EXPECT_EQ(result.standardOutput, "");
    EXPECT_EQ(result.standardError, "inputaim is not available\n");
    auto runs = events("processRun");
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].at("arguments"), Json::array({"--list"}));
    EXPECT_EQ(runs[0].at("exitStatus"), SimProcesses::kToolMissingStatus);
}

TEST_F(ProcessesTest, RegisteredToolRunsInProcessAndCanQueryTheDesktop) {
    Accessibility* accessibility = d_.accessibility;
    RunningApplications* apps = d_.runningApplications;
    desktop_->processes().registerInProcessTool(
        "inputaim", [&](const std::vector<std::string>& args, std::string& out, std::string& err) {
            // The desktop is not locked while the tool runs, so it can look around.
            auto front = apps->frontmostApplication();
            auto focused = accessibility->applicationElement(front->processIdentifier())
                               ->copyAttribute("AXFocusedUIElement");
            if (!focused.ok()) {
                err = "no focus\n";
                return 1;
            }
            out = "args=" + std::to_string(args.size()) +
                  " role=" + *focused.element()->copyAttribute("AXRole").string() + "\n";
            return 0;
        });
    ProcessResult result =
        d_.processes->run(*d_.processes->bundledToolPath("inputaim"), {"--app", "x"});
    EXPECT_TRUE(result.started);
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardOutput, "args=2 role=AXTextArea\n");
    EXPECT_EQ(events("processRun").back().at("stdout"), "args=2 role=AXTextArea\n");

    desktop_->processes().unregisterInProcessTool("inputaim");
    EXPECT_EQ(d_.processes->run(*d_.processes->bundledToolPath("inputaim"), {}).exitStatus,
              SimProcesses::kToolMissingStatus);
}

TEST_F(ProcessesTest, NoRealProgramIsEverStarted) {
    ProcessResult result = d_.processes->run("/bin/sh", {"-c", "echo hi"});
    EXPECT_FALSE(result.started);
    EXPECT_THAT(result.launchError, ::testing::HasSubstr("/bin/sh"));
    // A tool of the right name outside the application is not the shipped one.
    EXPECT_FALSE(d_.processes->run("/usr/local/bin/inputaim", {}).started);
    EXPECT_FALSE(d_.processes->bundledToolPath("screencapture"));
}

}  // namespace
}  // namespace orvex

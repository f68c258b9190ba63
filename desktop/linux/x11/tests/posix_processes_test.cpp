#include "desktop/linux/x11/posix_processes.h"
#include <gtest/gtest.h>  // before the X11 headers, whose macros clash with it

#include <sys/stat.h>

#include "testing/temp_dir.h"

namespace orvex::linux_desktop {
namespace {

TEST(PosixProcesses, BothPipesAreDrainedTogether) {
    PosixProcesses processes("/nonexistent");
    // 1 MiB to standard error before anything on standard output: reading the output first
    // to its end would wait for ever on a child blocked writing its errors.
    ProcessResult result =
        processes.run("/bin/sh", {"-c", "head -c 1048576 /dev/zero >&2; printf 'done'; exit 3"});
    ASSERT_TRUE(result.started);
    EXPECT_EQ(result.exitStatus, 3);
    EXPECT_EQ(result.standardOutput, "done");
    EXPECT_EQ(result.standardError.size(), 1048576u);
}

TEST(PosixProcesses, ArgumentsArePassedAsTheyAreWithoutAShell) {
    PosixProcesses processes("/nonexistent");
    ProcessResult result = processes.run("/usr/bin/printf", {"%s|%s", "a b", "$HOME;"});
    ASSERT_TRUE(result.started);
    EXPECT_EQ(result.standardOutput, "a b|$HOME;");
    EXPECT_EQ(result.exitStatus, 0);
}

TEST(PosixProcesses, AMissingProgramIsALaunchErrorAndAKillIsNotSuccess) {
    PosixProcesses processes("/nonexistent");
    ProcessResult missing = processes.run("/nonexistent/tool", {});
    EXPECT_FALSE(missing.started);
    EXPECT_FALSE(missing.launchError.empty());

    ProcessResult killed = processes.run("/bin/sh", {"-c", "kill -9 $$"});
    ASSERT_TRUE(killed.started);
    EXPECT_NE(killed.exitStatus, 0);
}

TEST(PosixProcesses, ToolsAreFoundBesideTheProgramOnlyByPlainName) {
    orvex::testing::TempDir dir;
    orvex::testing::writeText(dir / "inputaim", "#!/bin/sh\n");
    chmod((dir / "inputaim").c_str(), 0755);
    orvex::testing::writeText(dir / "notes", "text");
    PosixProcesses processes(dir.path().string());
    EXPECT_EQ(processes.bundledToolPath("inputaim"), (dir / "inputaim").string());
    EXPECT_FALSE(processes.bundledToolPath("notes"));  // not executable
    EXPECT_FALSE(processes.bundledToolPath("../inputaim"));
    EXPECT_FALSE(processes.bundledToolPath("missing"));
}

}  // namespace
}  // namespace orvex::linux_desktop

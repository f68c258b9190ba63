#include <gmock/gmock.h>

#include "desktop/sim/tests/sim_fixture.h"

namespace orvex {
namespace {

using ProcessesTest = SimFixture;

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

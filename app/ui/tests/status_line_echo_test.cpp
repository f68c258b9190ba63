#include "app/ui/status_line_echo.h"

#include <gtest/gtest.h>

#include "app/store/tests/store_fixture.h"

namespace orvex {
namespace {

// A single-line error status is checked through the running program (app/ui/e2e).
TEST(StatusLineEcho, EachStatusBecomesOneLineWithItsErrorFlag) {
    testing::StoreFixture f;
    auto state = f.makeState();
    std::vector<std::string> lines;
    {
        StatusLineEcho echo(*state, [&](std::string_view line) { lines.emplace_back(line); });
        state->setStatus("Copying…", false);
        state->setStatus("Failed:\nno reply", true);
        state->setStatus("", false);  // a cleared line is not a status
        EXPECT_TRUE(lines.empty()) << "statuses reach the state on the main queue";
        f.mainQueue.runUntilIdle();
    }
    state->setStatus("after the echo is gone", false);
    f.mainQueue.runUntilIdle();
    EXPECT_EQ(lines,
              (std::vector<std::string>{"status: Copying…", "status (error): Failed: no reply"}));
}

}  // namespace
}  // namespace orvex

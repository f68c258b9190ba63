// The real Orvex with its windows on the simulated demo desktop, inside the private
// session: it starts in the tray, and a second start brings its main window forward.
#include "desktop/linux/x11/desktop_tests/desktop_fixture.h"

namespace orvex::testing {
namespace {

class WindowsDesktop : public OrvexDesktop {
  protected:
    bool mainWindowShown() {
        ChildResult found =
            runChild({"/usr/bin/xdotool", "search", "--onlyvisible", "--name", "^Orvex$"},
                     environment(), 10s);
        return !found.out.empty();
    }
    std::string demo() { return (sourceDir() / "desktop/sim/scenarios/demo.json").string(); }
};

TEST_F(WindowsDesktop, ItStartsInTheTrayAndASecondStartBringsTheWindowBack) {
    writeSettings(Json::array());
    startOrvex({"--desktop", "sim:" + demo()});
    pumpFor(1s);
    EXPECT_FALSE(mainWindowShown()) << "a start with the tutorial done stays in the tray";

    ChildResult second =
        runChild({builtProgram("orvex"), "--desktop", "sim:" + demo()}, environment(), 30s);
    EXPECT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(second.out, "orvex: Orvex is already running; its window is shown\n");
    EXPECT_TRUE(pumpUntil([&] { return mainWindowShown(); })) << output() << errors();

    ASSERT_EQ(cli({"window.hide"}), 0);
    EXPECT_TRUE(pumpUntil([&] { return !mainWindowShown(); }));
}

}  // namespace
}  // namespace orvex::testing

#include "tools/inputaim/sim/inputaim_in_process.h"

#include <gtest/gtest.h>

#include "base/clock.h"
#include "base/manual_main_queue.h"
#include "desktop/sim/sim_desktop.h"
#include "desktop/sim/sim_processes.h"

namespace orvex {
namespace {

SimElementSpec textArea(std::string id, std::string description, double y, bool settable) {
    SimElementSpec definition;
    definition.role = "AXTextArea";
    definition.id = std::move(id);
    definition.description = std::move(description);
    definition.settable = settable;
    definition.frame = SimFrame{{120, y}, {400, 80}};
    return definition;
}

class InputaimInProcess : public ::testing::Test {
  protected:
    void SetUp() override {
        desktop = SimDesktop::create(clock, queue);
        desktop->setSetupMode(true);
        SimAppSpec app;
        app.bundleId = "com.example.notes";
        app.name = "Notes";
        app.running = true;
        SimWindowSpec window;
        window.title = "Notes";
        window.frame = SimFrame{{100, 50}, {800, 600}};
        window.elements = std::vector<SimElementSpec>{textArea("upper", "Upper", 100, true),
                                                      textArea("lower", "Lower", 400, true),
                                                      textArea("log", "Log", 500, false)};
        app.windows.push_back(window);
        ASSERT_FALSE(desktop->addApplication(app));
        desktop->setFrontmost("com.example.notes");
        desktop->setSetupMode(false);
        registerInputaimInProcess(*desktop);
    }

    ProcessResult run(const std::vector<std::string>& arguments) {
        auto path = desktop->processes().bundledToolPath("inputaim");
        EXPECT_TRUE(path);
        return desktop->processes().run(path.value_or("inputaim"), arguments);
    }

    VirtualClock clock;
    ManualMainQueue queue{clock};
    std::shared_ptr<SimDesktop> desktop;
};

TEST_F(InputaimInProcess, FocusesTheLowestEditableAreaOfTheSimulatedApp) {
    ProcessResult result = run({});
    ASSERT_TRUE(result.started);
    EXPECT_EQ(result.exitStatus, 0) << result.standardError;
    EXPECT_EQ(result.standardOutput, "focused \"Lower\"\n");
    EXPECT_EQ(desktop->focusedElementId("com.example.notes"), "lower");
}

TEST_F(InputaimInProcess, ReportsAndFailsWithTheToolsOwnTexts) {
    ProcessResult result = run({"--list", "--app", "com.example.notes", "--hint", "Upper"});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardOutput,
              "app=Notes window=(x=100 y=50 w=800 h=600) visited=4\n"
              "found=3 visible=2 hint=\"Upper\"\n"
              "→ 選ばれる [見えている] y=100〜180 w=400 書き込み可=true 名前=\"Upper\"\n"
              "           [見えている] y=400〜480 w=400 書き込み可=true 名前=\"Lower\"\n"
              "           [見えている] y=500〜580 w=400 書き込み可=false 名前=\"Log\"\n");
    result = run({"--app", "com.example.missing"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.standardError, "app not running: com.example.missing\n");
    EXPECT_EQ(run({"--bogus"}).exitStatus, 2);
}

}  // namespace
}  // namespace orvex

#include "tools/inputaim/inputaim_program.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

#include "tools/inputaim/inputaim_arguments.h"
#include "tools/inputaim/inputaim_report.h"
#include "tools/inputaim/tests/fake_ax_tree.h"

namespace orvex::inputaim {
namespace {

using testing::FakeAccessibility;
using testing::FakeApp;
using testing::FakeElement;
using testing::FakeElementRef;
using testing::FakeWorkspace;

struct ToolRun {
    int code;
    std::string out;
    std::string err;
};

// The front application "com.example.chat" (チャット) with one window, whose fractions the
// report cuts off.
class InputaimProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        workspace.apps = {app};
        workspace.frontmost = app;
        window->setFrame(100.7, 50.2, 800.9, 600.5);
        axApp->set("AXFocusedWindow", AXElementRef(window));
        accessibility.elements[42] = axApp;
    }
    ToolRun run(const std::vector<std::string>& arguments) {
        std::ostringstream out, err;
        int code = runInputaim(arguments, workspace, accessibility, out, err);
        return {code, out.str(), err.str()};
    }
    // A failure: its exit code, nothing on standard output, one line on standard error.
    void fails(const std::vector<std::string>& arguments, int code, const std::string& err) {
        ToolRun result = run(arguments);
        EXPECT_EQ(result.code, code) << err;
        EXPECT_EQ(result.out, "") << err;
        EXPECT_EQ(result.err, err);
    }
    // Upper editable area, lower read-only area, an off-screen one and a lower editable.
    void addChatWindowContent() {
        upper = window->add(FakeElement::textArea(120, 100, 400, 80, true, "Notes"));
        window->add(FakeElement::textArea(120, 300, 400, 80, false, ""));
        window->add(FakeElement::textArea(120, 2000, 400, 80, true, "Hidden"));
        lower = window->add(FakeElement::textArea(120.9, 500.5, 600.4, 100.9, true, "Message"));
    }

    std::shared_ptr<FakeApp> app = std::make_shared<FakeApp>(42, "com.example.chat", "チャット");
    FakeWorkspace workspace;
    FakeAccessibility accessibility;
    FakeElementRef axApp = FakeElement::make("AXApplication"),
                   window = FakeElement::make("AXWindow");
    FakeElementRef upper, lower;
};

TEST_F(InputaimProgram, BadArgumentsExitTwoWithoutSearching) {
    fails({"--app"}, 2, "--app needs a bundle id\n");
    fails({"--list", "--hint"}, 2, "--hint needs a text\n");
    for (const char* bad : {"--bogus", "list", "-l"})
        fails({bad}, 2, kInputaimUsage);
    EXPECT_TRUE(axApp->reads.empty());
}

TEST_F(InputaimProgram, NoAppOrNoWindowExitsOne) {
    // An option's value is taken as it is: here the bundle id of an app without windows.
    workspace.apps.push_back(std::make_shared<FakeApp>(43, "--list", "Other"));
    fails({"--app", "--list"}, 1, "no window\n");
    fails({"--app", "com.example.missing"}, 1, "app not running: com.example.missing\n");
    window->attributes.erase("AXSize");
    fails({"--list"}, 1, "no window\n");
    axApp->attributes.erase("AXFocusedWindow");
    fails({}, 1, "no window\n");
    accessibility.elements.clear();
    fails({}, 1, "no window\n");
    app->terminated = true;
    fails({"--list"}, 1, "app not running: frontmost\n");
    fails({"--app", "com.example.chat"}, 1, "app not running: com.example.chat\n");
    workspace.frontmost = nullptr;
    fails({}, 1, "app not running: frontmost\n");
}

TEST_F(InputaimProgram, FocusModeFailures) {
    addChatWindowContent();
    lower->setError = AXError::cannotComplete;
    fails({}, 1, "setFocused failed: -25204\n");

    window->set("AXChildren", std::vector<AXElementRef>{});
    window->add(FakeElement::textArea(120, 100, 30, 80, true, "too narrow"));
    window->add(FakeElement::textArea(120, 900, 400, 80, true, "below"));
    window->add(FakeElement::make("AXGroup"));
    fails({}, 1, "input field not found (found=2 visible=0 visited=4)\n");
    // Where the report names a withheld tree, focus mode keeps to its single line.
    window->set("AXChildren", std::vector<AXElementRef>{});
    window->add(FakeElement::make("AXGroup"))->add(FakeElement::make("AXWebArea"));
    fails({}, 1, "input field not found (found=0 visible=0 visited=3)\n");
}

TEST_F(InputaimProgram, FocusModeFocusesTheChosenElement) {
    addChatWindowContent();
    ToolRun result = run({});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.out, "focused \"Message\"\n");
    EXPECT_EQ(result.err, "");
    ASSERT_EQ(lower->writes.size(), 1u);
    EXPECT_EQ(lower->writes[0].first, "AXFocused");
    EXPECT_EQ(std::get<bool>(lower->writes[0].second), true);

    result = run({"--hint", "Notes", "--app", "com.example.chat"});
    EXPECT_EQ(result.out, "focused \"Notes\"\n");
    EXPECT_EQ(upper->writes.size(), 1u);
}

TEST_F(InputaimProgram, ReportListsEveryCandidateAndMarksTheChoice) {
    addChatWindowContent();
    ToolRun result = run({"--list"});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out,
              "app=チャット window=(x=100 y=50 w=800 h=600) visited=5\n"
              "found=4 visible=2 hint=\"\"\n"
              "           [見えている] y=100〜180 w=400 書き込み可=true 名前=\"Notes\"\n"
              "           [見えている] y=300〜380 w=400 書き込み可=false 名前=\"\"\n"
              "           [画面の外] y=2000〜2080 w=400 書き込み可=true 名前=\"Hidden\"\n"
              "→ 選ばれる [見えている] y=500〜601 w=600 書き込み可=true 名前=\"Message\"\n");
    EXPECT_TRUE(lower->writes.empty());
}

TEST_F(InputaimProgram, TheReportFollowsTheHintAndTheLastOfEachOption) {
    addChatWindowContent();
    workspace.apps[0] = std::make_shared<FakeApp>(42, "com.example.chat", std::nullopt);
    ToolRun result = run({"--list", "--hint", "Nothing", "--app", "com.example.chat"});
    EXPECT_EQ(result.code, 0);
    EXPECT_TRUE(result.out.starts_with("app=? window="));
    EXPECT_NE(result.out.find("found=4 visible=2 hint=\"Nothing\"\n"), std::string::npos);
    EXPECT_NE(result.out.find("→ 選ばれる [見えている] y=500〜601"), std::string::npos);

    result = run(
        {"--app", "nope", "--hint", "x", "--app", "com.example.chat", "--hint", "Notes", "--list"});
    EXPECT_EQ(result.code, 0);
    EXPECT_NE(result.out.find("hint=\"Notes\""), std::string::npos);
    EXPECT_NE(result.out.find("→ 選ばれる [見えている] y=100〜180"), std::string::npos);
    EXPECT_NE(result.out.find("           [見えている] y=500〜601"), std::string::npos);
}

TEST_F(InputaimProgram, ReportMarksByElementIdentityAndExitsOneWithoutChoice) {
    // Two references to the same element: the mark follows identity, not list position.
    auto area = FakeElement::textArea(120, 100, 400, 80, false, "only");
    window->add(area);
    window->add(FakeElement::make("AXGroup"))->set("AXChildren", std::vector<AXElementRef>{area});
    ToolRun result = run({"--list"});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.out.substr(result.out.find("found=")),
              "found=2 visible=2 hint=\"\"\n"
              "→ 選ばれる [見えている] y=100〜180 w=400 書き込み可=false 名前=\"only\"\n"
              "→ 選ばれる [見えている] y=100〜180 w=400 書き込み可=false 名前=\"only\"\n");

    area->setFrame(120, 100, 20, 80);
    result = run({"--list"});
    EXPECT_EQ(result.code, 1);
    EXPECT_NE(result.out.find("found=2 visible=0"), std::string::npos);
}

TEST_F(InputaimProgram, ReportNamesAWithheldTreeOnStandardError) {
    ToolRun result = run({"--list"});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.out,
              "app=チャット window=(x=100 y=50 w=800 h=600) visited=1\n"
              "found=0 visible=0 hint=\"\"\n");
    EXPECT_NE(result.err.find("--force-renderer-accessibility"), std::string::npos);

    window->add(FakeElement::make("AXGroup"))->add(FakeElement::make("AXWebArea"));
    EXPECT_NE(run({"--list"}).err.find("--force-renderer-accessibility"), std::string::npos);
}

// The report's own lines show NaN and the positive limits; here the rest.
TEST(ReportInteger, TruncatesTowardZeroAndClampsWhatCannotBePrinted) {
    EXPECT_EQ(reportInteger(-12.9), -12);
    EXPECT_EQ(reportInteger(-0.5), 0);
    EXPECT_EQ(reportInteger(-std::numeric_limits<double>::infinity()),
              std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(reportInteger(-1e300), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(reportInteger(9007199254740993.0), 9007199254740992);
}

TEST_F(InputaimProgram, NonFiniteFramesStillGiveWellFormedLines) {
    window->setFrame(std::nan(""), 0, std::numeric_limits<double>::infinity(), 1e30);
    window->add(FakeElement::textArea(std::nan(""), std::nan(""), 400, 80, true, "nan"));
    ToolRun result = run({"--list"});
    EXPECT_EQ(result.out,
              "app=チャット window=(x=0 y=0 w=9223372036854775807 h=9223372036854775807) "
              "visited=2\n"
              "found=1 visible=0 hint=\"\"\n"
              "           [画面の外] y=0〜0 w=400 書き込み可=true 名前=\"nan\"\n");
    EXPECT_EQ(result.code, 1);
}

}  // namespace
}  // namespace orvex::inputaim

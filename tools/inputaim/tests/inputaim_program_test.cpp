#include "tools/inputaim/inputaim_program.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

#include "tools/inputaim/inputaim_report.h"
#include "tools/inputaim/tests/fake_ax_tree.h"

namespace orvex::inputaim {
namespace {

using testing::FakeAccessibility;
using testing::FakeApp;
using testing::FakeElement;
using testing::FakeWorkspace;

struct ToolRun {
    int code;
    std::string out;
    std::string err;
};

class InputaimProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        app = std::make_shared<FakeApp>(42, "com.example.chat", "チャット");
        workspace.apps = {app};
        workspace.frontmost = app;
        axApp = FakeElement::make("AXApplication");
        window = FakeElement::make("AXWindow");
        window->setFrame(100.7, 50.2, 800.9, 600.5);
        axApp->set("AXFocusedWindow", AXElementRef(window));
        accessibility.elements[42] = axApp;
    }

    ToolRun run(std::vector<std::string> arguments) {
        std::ostringstream out, err;
        int code = runInputaim(arguments, workspace, accessibility, out, err);
        return {code, out.str(), err.str()};
    }

    // Upper editable area, lower read-only area, an off-screen one and a lower editable.
    void addChatWindowContent() {
        upper = window->add(FakeElement::textArea(120, 100, 400, 80, true, "Notes"));
        readOnly = window->add(FakeElement::textArea(120, 300, 400, 80, false, ""));
        window->add(FakeElement::textArea(120, 2000, 400, 80, true, "Hidden"));
        lower = window->add(FakeElement::textArea(120.9, 500.5, 600.4, 100.9, true, "Message"));
    }

    std::shared_ptr<FakeApp> app;
    FakeWorkspace workspace;
    FakeAccessibility accessibility;
    std::shared_ptr<FakeElement> axApp, window, upper, readOnly, lower;
};

TEST_F(InputaimProgram, BadArgumentsExitTwoWithoutSearching) {
    EXPECT_EQ(run({"--app"}).err, "--app needs a bundle id\n");
    EXPECT_EQ(run({"--list", "--hint"}).err, "--hint needs a text\n");
    for (auto arguments : std::vector<std::vector<std::string>>{{"--bogus"}, {"list"}, {"-l"}}) {
        ToolRun result = run(arguments);
        EXPECT_EQ(result.code, 2);
        EXPECT_EQ(result.err, "usage: inputaim [--list] [--app <bundleId>] [--hint <text>]\n");
        EXPECT_EQ(result.out, "");
    }
    EXPECT_EQ(run({"--app"}).code, 2);
    EXPECT_EQ(axApp->reads.size(), 0u);
}

TEST_F(InputaimProgram, OptionValuesAreTakenVerbatimAndLaterOnesWin) {
    addChatWindowContent();
    auto other = std::make_shared<FakeApp>(43, "--list", "Other");
    workspace.apps.push_back(other);
    // "--list" here is the bundle identifier, so this is focus mode on an app with no window.
    ToolRun result = run({"--app", "--list"});
    EXPECT_EQ(result.err, "no window\n");
    result = run(
        {"--app", "nope", "--hint", "x", "--app", "com.example.chat", "--hint", "Notes", "--list"});
    EXPECT_EQ(result.code, 0);
    EXPECT_NE(result.out.find("hint=\"Notes\""), std::string::npos);
}

TEST_F(InputaimProgram, AppNotRunning) {
    ToolRun result = run({"--app", "com.example.missing"});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err, "app not running: com.example.missing\n");
    workspace.frontmost = nullptr;
    EXPECT_EQ(run({}).err, "app not running: frontmost\n");
    workspace.frontmost = app;
    app->terminated = true;
    EXPECT_EQ(run({"--list"}).err, "app not running: frontmost\n");
    EXPECT_EQ(run({"--app", "com.example.chat"}).err, "app not running: com.example.chat\n");
}

TEST_F(InputaimProgram, NoWindowOrNoWindowFrame) {
    window->attributes.erase("AXSize");
    ToolRun result = run({"--list"});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err, "no window\n");
    EXPECT_EQ(result.out, "");
    axApp->attributes.erase("AXFocusedWindow");
    EXPECT_EQ(run({}).err, "no window\n");
    accessibility.elements.clear();
    EXPECT_EQ(run({}).err, "no window\n");
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

TEST_F(InputaimProgram, FocusModeFailures) {
    addChatWindowContent();
    lower->setError = AXError::cannotComplete;
    ToolRun result = run({});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "setFocused failed: -25204\n");

    window->children.clear();
    window->set("AXChildren", std::vector<AXElementRef>{});
    window->add(FakeElement::textArea(120, 100, 30, 80, true, "tiny"));
    window->add(FakeElement::textArea(120, 300, 400, 80, true, "below"))
        ->setFrame(120, 900, 400, 80);
    window->add(FakeElement::make("AXGroup"));
    result = run({});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "input field not found (found=2 visible=0 visited=4)\n");
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

TEST_F(InputaimProgram, ReportWithHintsAndWithoutName) {
    addChatWindowContent();
    workspace.apps[0] = std::make_shared<FakeApp>(42, "com.example.chat", std::nullopt);
    ToolRun result = run({"--list", "--hint", "Nothing", "--app", "com.example.chat"});
    EXPECT_EQ(result.code, 0);
    EXPECT_TRUE(result.out.starts_with("app=? window="));
    EXPECT_NE(result.out.find("found=4 visible=2 hint=\"Nothing\"\n"), std::string::npos);
    EXPECT_NE(result.out.find("→ 選ばれる [見えている] y=500〜601"), std::string::npos);

    result = run({"--list", "--hint", "Notes"});
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
    // Focus mode keeps its single line.
    EXPECT_EQ(run({}).err, "input field not found (found=0 visible=0 visited=3)\n");
}

TEST(ReportInteger, TruncatesTowardZeroAndClampsWhatCannotBePrinted) {
    EXPECT_EQ(reportInteger(12.9), 12);
    EXPECT_EQ(reportInteger(-12.9), -12);
    EXPECT_EQ(reportInteger(-0.5), 0);
    EXPECT_EQ(reportInteger(std::nan("")), 0);
    constexpr auto max = std::numeric_limits<std::int64_t>::max();
    constexpr auto min = std::numeric_limits<std::int64_t>::min();
    EXPECT_EQ(reportInteger(std::numeric_limits<double>::infinity()), max);
    EXPECT_EQ(reportInteger(-std::numeric_limits<double>::infinity()), min);
    EXPECT_EQ(reportInteger(1e300), max);
    EXPECT_EQ(reportInteger(-1e300), min);
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

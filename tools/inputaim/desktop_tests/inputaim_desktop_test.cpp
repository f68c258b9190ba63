// inputaim against real GTK and Qt windows. Run inside scripts/with-desktop-session.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "desktop/linux/atspi_desktop.h"
#include "testing/child_process.h"
#include "tools/inputaim/desktop_tests/required_tools.h"

namespace orvex::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string binary(const std::string& name) {
    const char* dir = std::getenv("ORVEX_BINARY_DIR");
    return std::string(dir ? dir : ".") + "/bin/" + name;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line))
        result.push_back(line);
    return result;
}

struct Toolkit {
    std::string program;
    std::string bundleId;
    std::string japaneseName;
    int candidates;  // GTK's window also holds a text area scrolled out of sight
};

void PrintTo(const Toolkit& toolkit, std::ostream* out) {
    *out << toolkit.program;
}

class InputaimDesktop : public ::testing::TestWithParam<Toolkit> {
  protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY"))
            ORVEX_SKIP_UNLESS_REQUIRED("needs scripts/with-desktop-session");
        const Toolkit& toolkit = GetParam();
        if (!fs::exists(binary(toolkit.program)))
            ORVEX_SKIP_UNLESS_REQUIRED(toolkit.program << " not built");

        std::string pattern = (fs::temp_directory_path() / "orvex-inputaim-XXXXXX").string();
        dataHome_ = mkdtemp(pattern.data());
        fs::create_directories(dataHome_ / "applications");
        std::ofstream(dataHome_ / "applications" / (toolkit.bundleId + ".desktop"))
            << "[Desktop Entry]\nType=Application\nName=Orvex test window\nName[ja]="
            << toolkit.japaneseName << "\nExec=" << binary(toolkit.program) << "\n";
        environment_ = {{"XDG_DATA_HOME", dataHome_.string()},
                        {"LANG", "ja_JP.UTF-8"},
                        {"LC_ALL", ""},
                        {"LC_MESSAGES", ""}};

        app_ = std::make_unique<BackgroundChild>(std::vector<std::string>{binary(toolkit.program)},
                                                 std::map<std::string, std::string>{});
        ASSERT_TRUE(app_->waitUntilReady(15s)) << toolkit.program << " did not start";
        // The window is up; wait until it is registered and active on the accessibility bus.
        auto deadline = std::chrono::steady_clock::now() + 15s;
        while (tool({"--list"}).exitCode != 0) {
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "window never became active";
            std::this_thread::sleep_for(100ms);
        }
    }

    void TearDown() override {
        app_.reset();
        if (!dataHome_.empty())
            fs::remove_all(dataHome_);
    }

    ChildResult tool(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), binary("inputaim"));
        return runChild(arguments, environment_, 60s);
    }

    // The focused element's label as the accessibility bus reports it now.
    std::string focusedDescription() {
        linux_desktop::AtspiDesktop desktop;
        auto app = desktop.applicationElement(app_->pid());
        if (!app)
            return "<no application>";
        auto focused = app->copyAttribute("AXFocusedUIElement").element();
        if (!focused)
            return "<nothing focused>";
        auto description = focused->copyAttribute("AXDescription");
        return description.string() ? *description.string() : "<no description>";
    }

    fs::path dataHome_;
    std::map<std::string, std::string> environment_;
    std::unique_ptr<BackgroundChild> app_;
};

TEST_P(InputaimDesktop, ListReportsEveryCandidateAndMarksTheLowestEditable) {
    const Toolkit& toolkit = GetParam();
    ChildResult result = tool({"--list", "--app", toolkit.bundleId});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    auto report = lines(result.out);
    ASSERT_EQ(report.size(), 2u + static_cast<std::size_t>(toolkit.candidates)) << result.out;
    EXPECT_TRUE(std::regex_match(
        report[0], std::regex("app=" + toolkit.japaneseName +
                              R"( window=\(x=-?\d+ y=-?\d+ w=\d+ h=\d+\) visited=\d+)")))
        << report[0];
    EXPECT_EQ(report[1], "found=" + std::to_string(toolkit.candidates) + " visible=2 hint=\"\"");
    // GTK places widgets it does not draw at the smallest int, so negatives must parse.
    const std::string frame = R"( y=-?\d+〜-?\d+ w=\d+ )";
    EXPECT_TRUE(
        std::regex_match(report[2], std::regex("           \\[見えている\\]" + frame +
                                               "書き込み可=true 名前=\"Upper editor Draft\"")))
        << report[2];
    EXPECT_TRUE(
        std::regex_match(report[3], std::regex("           \\[見えている\\]" + frame +
                                               "書き込み可=false 名前=\"Read only Transcript\"")))
        << report[3];
    std::size_t last = report.size() - 1;
    EXPECT_TRUE(
        std::regex_match(report[last], std::regex("→ 選ばれる \\[見えている\\]" + frame +
                                                  "書き込み可=true 名前=\"Lower editor Message\"")))
        << report[last];
    if (toolkit.candidates == 4) {
        EXPECT_TRUE(std::regex_match(report[4],
                                     std::regex("           \\[画面の外\\]" + frame +
                                                "書き込み可=true 名前=\"Scrolled away Archive\"")))
            << report[4];
    }
    EXPECT_EQ(result.err, "");
}

TEST_P(InputaimDesktop, FocusModeFocusesTheChosenAreaOfTheFrontmostApp) {
    EXPECT_NE(focusedDescription(), "Lower editor");
    ChildResult result = tool({});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "focused \"Lower editor Message\"\n");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(focusedDescription(), "Lower editor");
}

TEST_P(InputaimDesktop, HintNarrowsTheChoice) {
    ChildResult result = tool({"--hint", "Draft", "--app", GetParam().bundleId});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "focused \"Upper editor Draft\"\n");
    EXPECT_EQ(focusedDescription(), "Upper editor");

    result = tool({"--list", "--hint", "Nothing"});
    EXPECT_NE(result.out.find("hint=\"Nothing\"\n"), std::string::npos);
    EXPECT_NE(result.out.find("→ 選ばれる [見えている]"), std::string::npos);
    EXPECT_NE(result.out.find("名前=\"Lower editor Message\""), std::string::npos);
}

TEST_P(InputaimDesktop, AFrozenApplicationEndsTheRunInBoundedTime) {
    ASSERT_EQ(kill(app_->pid(), SIGSTOP), 0);
    ChildResult result = tool({"--app", GetParam().bundleId});
    kill(app_->pid(), SIGCONT);
    EXPECT_EQ(result.exitCode, 1);  // -1 would mean the 60 s limit killed it
    EXPECT_EQ(result.err, "no window\n");
    EXPECT_EQ(result.out, "");
}

INSTANTIATE_TEST_SUITE_P(
    Toolkits, InputaimDesktop,
    ::testing::Values(Toolkit{"orvex-test-gtk-window", "org.orvex.TestGtkWindow", "GTKテスト窓", 4},
                      Toolkit{"orvex-test-qt-window", "org.orvex.TestQtWindow", "Qtテスト窓", 3}));

TEST(InputaimDesktopArguments, NotRunningAndBadArguments) {
    if (!std::getenv("DISPLAY"))
        ORVEX_SKIP_UNLESS_REQUIRED("needs scripts/with-desktop-session");
    auto run = [](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), binary("inputaim"));
        return runChild(arguments, {}, 60s);
    };
    ChildResult result = run({"--app", "org.orvex.NotRunning"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "app not running: org.orvex.NotRunning\n");
    EXPECT_EQ(result.out, "");

    result = run({"--list", "--app"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "--app needs a bundle id\n");
    result = run({"--hint"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "--hint needs a text\n");
    result = run({"--frontmost"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "usage: inputaim [--list] [--app <bundleId>] [--hint <text>]\n");
    EXPECT_EQ(result.out, "");
}

}  // namespace
}  // namespace orvex::testing

// inputaim and the AT-SPI backends it runs on, against real GTK and Qt windows. Run inside
// scripts/with-desktop-session.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>

#include <functional>
#include <regex>
#include <sstream>
#include <thread>

#include "desktop/linux/app_identity.h"
#include "desktop/linux/atspi_accessibility.h"
#include "desktop/linux/atspi_desktop.h"
#include "desktop/linux/atspi_running_apps.h"
#include "testing/child_process.h"
#include "testing/source_tree.h"
#include "testing/temp_dir.h"
#include "tools/inputaim/desktop_tests/required_tools.h"

namespace orvex::testing {
namespace {

using namespace std::chrono_literals;
using namespace orvex::linux_desktop;

bool eventually(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + 15s;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

std::string text(AXElement& element, const char* attribute) {
    auto result = element.copyAttribute(attribute);
    return result.string() ? *result.string() : "<" + std::to_string(int(result.error)) + ">";
}

struct Toolkit {
    std::string program;
    std::string bundleId;
    std::string japaneseName;
    int candidates;  // GTK's window also holds a text area scrolled out of sight
};
const Toolkit kGtk{"orvex-test-gtk-window", "org.orvex.TestGtkWindow", "GTKテスト窓", 4};
const Toolkit kQt{"orvex-test-qt-window", "org.orvex.TestQtWindow", "Qtテスト窓", 3};

void PrintTo(const Toolkit& toolkit, std::ostream* out) {
    *out << toolkit.program;
}

// A test window of `toolkit`, named by an entry under a private XDG_DATA_HOME; inputaim
// and the in-process backends see that entry and a Japanese locale.
class WindowFixture {
  protected:
    void startWindow(const Toolkit& toolkit) {
        if (!std::getenv("DISPLAY"))
            ORVEX_SKIP_UNLESS_REQUIRED("needs scripts/with-desktop-session");
        if (!std::filesystem::exists(builtProgram(toolkit.program)))
            ORVEX_SKIP_UNLESS_REQUIRED(toolkit.program << " not built");
        std::filesystem::create_directories(dataHome_ / "applications");
        writeText(dataHome_ / ("applications/" + toolkit.bundleId + ".desktop"),
                  "[Desktop Entry]\nType=Application\nName=Orvex test window\nName[ja]=" +
                      toolkit.japaneseName + "\nExec=" + builtProgram(toolkit.program) + "\n");
        app_ = std::make_unique<BackgroundChild>(
            std::vector<std::string>{builtProgram(toolkit.program)},
            std::map<std::string, std::string>{{"LANG", "C.UTF-8"}});
        ASSERT_TRUE(app_->waitUntilReady(15s)) << toolkit.program << " did not start";
    }

    TempDir dataHome_;
    const std::map<std::string, std::string> environment_{
        {"XDG_DATA_HOME", dataHome_.path().string()},
        {"LANG", "ja_JP.UTF-8"},
        {"LC_ALL", ""},
        {"LC_MESSAGES", ""}};
    std::unique_ptr<BackgroundChild> app_;
};

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        result.push_back(line);
    return result;
}

class InputaimDesktop : public ::testing::TestWithParam<Toolkit>, public WindowFixture {
  protected:
    void SetUp() override {
        startWindow(GetParam());
        if (IsSkipped() || HasFatalFailure())
            return;
        // The window is up; wait until it is registered and active on the accessibility bus.
        ASSERT_TRUE(eventually([&] { return tool({"--list"}).exitCode == 0; }))
            << "window never became active";
    }

    ChildResult tool(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), builtProgram("inputaim"));
        return runChild(arguments, environment_, 60s);
    }

    // The focused element's label as the accessibility bus reports it now.
    std::string focusedDescription() {
        AtspiDesktop desktop;
        auto app = desktop.applicationElement(app_->pid());
        auto focused = app ? app->copyAttribute("AXFocusedUIElement").element() : nullptr;
        return focused ? text(*focused, "AXDescription") : "<nothing focused>";
    }
};

TEST_P(InputaimDesktop, ListReportsEveryCandidateAndMarksTheLowestEditable) {
    const Toolkit& toolkit = GetParam();
    ChildResult result = tool({"--list", "--app", toolkit.bundleId});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    // GTK places widgets it does not draw at the smallest int, so negatives must parse.
    const std::string frame = R"( y=-?\d+〜-?\d+ w=\d+ )", shown = "           \\[見えている\\]";
    std::vector<std::string> expected{
        "app=" + toolkit.japaneseName + R"( window=\(x=-?\d+ y=-?\d+ w=\d+ h=\d+\) visited=\d+)",
        "found=" + std::to_string(toolkit.candidates) + " visible=2 hint=\"\"",
        shown + frame + "書き込み可=true 名前=\"Upper editor Draft\"",
        shown + frame + "書き込み可=false 名前=\"Read only Transcript\""};
    if (toolkit.candidates == 4)
        expected.push_back("           \\[画面の外\\]" + frame +
                           "書き込み可=true 名前=\"Scrolled away Archive\"");
    expected.push_back("→ 選ばれる \\[見えている\\]" + frame +
                       "書き込み可=true 名前=\"Lower editor Message\"");
    auto report = lines(result.out);
    ASSERT_EQ(report.size(), expected.size()) << result.out;
    for (std::size_t i = 0; i < report.size(); ++i)
        EXPECT_TRUE(std::regex_match(report[i], std::regex(expected[i]))) << report[i];
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
}

TEST_P(InputaimDesktop, AFrozenApplicationEndsTheRunInBoundedTime) {
    ASSERT_EQ(kill(app_->pid(), SIGSTOP), 0);
    ChildResult result = tool({"--app", GetParam().bundleId});
    kill(app_->pid(), SIGCONT);
    EXPECT_EQ(result.exitCode, 1);  // -1 would mean the 60 s limit killed it
    EXPECT_EQ(result.err, "no window\n");
    EXPECT_EQ(result.out, "");
}

INSTANTIATE_TEST_SUITE_P(Toolkits, InputaimDesktop, ::testing::Values(kGtk, kQt));

AXElementRef findByDescription(const AXElementRef& root, const std::string& description) {
    if (text(*root, "AXDescription") == description)
        return root;
    auto children = root->copyAttribute("AXChildren");
    for (auto& child : children.elements() ? *children.elements() : std::vector<AXElementRef>{}) {
        if (auto found = findByDescription(child, description))
            return found;
    }
    return nullptr;
}

// The backends in this process, which read the entry and the locale from its environment.
class AtspiBackendDesktop : public ::testing::Test, public WindowFixture {
  protected:
    void SetUp() override {
        for (auto& [name, value] : environment_) {
            const char* old = std::getenv(name.c_str());
            saved_[name] = old ? old : "";
            setenv(name.c_str(), value.c_str(), 1);
        }
        startWindow(kGtk);
        if (IsSkipped() || HasFatalFailure())
            return;
        desktop_ = std::make_shared<AtspiDesktop>();
        ASSERT_TRUE(desktop_->connected()) << desktop_->problem();
        applications_ = std::make_unique<AtspiRunningApplications>(
            desktop_, std::make_shared<const AppIdentityResolver>());
        accessibility_ = std::make_unique<AtspiAccessibility>(desktop_);
        ASSERT_TRUE(eventually([&] {
            auto front = applications_->frontmostApplication();
            return front && front->processIdentifier() == app_->pid();
        })) << "the test window never became the active one";
    }
    void TearDown() override {
        app_.reset();
        for (auto& [name, value] : saved_)
            setenv(name.c_str(), value.c_str(), 1);
    }

    std::map<std::string, std::string> saved_;  // empty counts as unset for the variables set
    std::shared_ptr<AtspiDesktop> desktop_;
    std::unique_ptr<AtspiRunningApplications> applications_;
    std::unique_ptr<AtspiAccessibility> accessibility_;
};

// Finding an application by its entry's id, and its entry's name, show in inputaim's report.
TEST_F(AtspiBackendDesktop, ApplicationsAreNotKnownByTheProgramAndEndWithTheirProcess) {
    auto front = applications_->frontmostApplication();
    EXPECT_FALSE(front->isTerminated());
    EXPECT_TRUE(applications_->runningApplications("orvex-test-gtk-window").empty());

    app_->stop();
    EXPECT_TRUE(front->isTerminated());
    EXPECT_TRUE(eventually([&] { return !applications_->frontmostApplication(); }));
}

TEST_F(AtspiBackendDesktop, WindowsFramesAndMinimizedState) {
    EXPECT_TRUE(accessibility_->isProcessTrusted(false));
    auto app = accessibility_->applicationElement(app_->pid());
    ASSERT_TRUE(app);
    auto windows = app->copyAttribute("AXWindows");
    ASSERT_TRUE(windows.elements());
    ASSERT_EQ(windows.elements()->size(), 1u);
    auto window = windows.elements()->front();
    EXPECT_TRUE(sameElement(app->copyAttribute("AXFocusedWindow").element(), window));
    EXPECT_TRUE(sameElement(app->copyAttribute("AXMainWindow").element(), window));
    EXPECT_EQ(text(*window, "AXTitle"), "Orvex GTK test window");
    EXPECT_EQ(window->pid(), app_->pid());
    EXPECT_EQ(*window->copyAttribute("AXMinimized").boolean(), false);

    kill(app_->pid(), SIGUSR1);
    EXPECT_TRUE(eventually([&] {
        auto minimized = window->copyAttribute("AXMinimized");
        return minimized.boolean() && *minimized.boolean();
    }));
    EXPECT_EQ(app->copyAttribute("AXFocusedWindow").error, AXError::noValue);
}

TEST_F(AtspiBackendDesktop, TextInputsPlaceholdersValueAndFocus) {
    auto app = accessibility_->applicationElement(app_->pid());
    auto window = app->copyAttribute("AXFocusedWindow").element();
    ASSERT_TRUE(window);
    auto draft = findByDescription(window, "Upper editor");
    auto subject = findByDescription(window, "Single line");
    ASSERT_TRUE(draft && subject);
    // The roles and whether the value is settable show in inputaim's report.
    EXPECT_EQ(text(*subject, "AXPlaceholderValue"), "Subject line");
    EXPECT_EQ(draft->copyAttribute("AXPlaceholderValue").error, AXError::noValue);

    EXPECT_EQ(text(*draft, "AXValue"), "Draft");

    EXPECT_EQ(draft->setAttribute("AXFocused", true), AXError::success);
    EXPECT_EQ(*draft->copyAttribute("AXFocused").boolean(), true);
    auto focused = accessibility_->systemWideElement()->copyAttribute("AXFocusedUIElement");
    ASSERT_TRUE(focused.element());
    EXPECT_TRUE(sameElement(focused.element(), draft));
    EXPECT_EQ(draft->setAttribute("AXFocused", std::string("yes")), AXError::illegalArgument);
}

}  // namespace
}  // namespace orvex::testing

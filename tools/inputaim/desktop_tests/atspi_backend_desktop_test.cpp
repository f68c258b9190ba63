// The AT-SPI accessibility and running-application backends against a real GTK window.
// Run inside scripts/with-desktop-session.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "desktop/linux/app_identity.h"
#include "desktop/linux/atspi_accessibility.h"
#include "desktop/linux/atspi_desktop.h"
#include "desktop/linux/atspi_running_apps.h"
#include "testing/child_process.h"
#include "tools/inputaim/desktop_tests/required_tools.h"

namespace orvex::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace orvex::linux_desktop;

std::string binary(const std::string& name) {
    const char* dir = std::getenv("ORVEX_BINARY_DIR");
    return std::string(dir ? dir : ".") + "/bin/" + name;
}

bool eventually(const std::function<bool()>& condition) {
    auto deadline = std::chrono::steady_clock::now() + 10s;
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

AXElementRef findByDescription(const AXElementRef& root, const std::string& description) {
    if (text(*root, "AXDescription") == description)
        return root;
    auto children = root->copyAttribute("AXChildren");
    if (!children.elements())
        return nullptr;
    for (auto& child : *children.elements()) {
        if (auto found = findByDescription(child, description))
            return found;
    }
    return nullptr;
}

class AtspiBackendDesktop : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY"))
            ORVEX_SKIP_UNLESS_REQUIRED("needs scripts/with-desktop-session");
        std::string pattern = (fs::temp_directory_path() / "orvex-atspi-XXXXXX").string();
        dataHome_ = mkdtemp(pattern.data());
        fs::create_directories(dataHome_ / "applications");
        std::ofstream(dataHome_ / "applications" / "org.orvex.TestGtkWindow.desktop")
            << "[Desktop Entry]\nType=Application\nName=GTK test\nName[ja]=GTKテスト窓\nExec="
            << binary("orvex-test-gtk-window") << " --title x\n";
        // The identity rules read these from this process's environment.
        setenv("XDG_DATA_HOME", dataHome_.c_str(), 1);
        setenv("LANG", "ja_JP.UTF-8", 1);
        unsetenv("LC_ALL");
        unsetenv("LC_MESSAGES");

        app_ = std::make_unique<BackgroundChild>(
            std::vector<std::string>{binary("orvex-test-gtk-window")},
            std::map<std::string, std::string>{{"LANG", "C.UTF-8"}});
        ASSERT_TRUE(app_->waitUntilReady(15s));
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
        if (!dataHome_.empty())
            fs::remove_all(dataHome_);
    }

    fs::path dataHome_;
    std::unique_ptr<BackgroundChild> app_;
    std::shared_ptr<AtspiDesktop> desktop_;
    std::unique_ptr<AtspiRunningApplications> applications_;
    std::unique_ptr<AtspiAccessibility> accessibility_;
};

TEST_F(AtspiBackendDesktop, RunningApplicationsAreNamedByTheirDesktopEntry) {
    auto front = applications_->frontmostApplication();
    EXPECT_EQ(front->bundleIdentifier(), "org.orvex.TestGtkWindow");
    EXPECT_EQ(front->localizedName(), "GTKテスト窓");
    EXPECT_FALSE(front->isTerminated());
    auto matching = applications_->runningApplications("org.orvex.TestGtkWindow");
    ASSERT_EQ(matching.size(), 1u);
    EXPECT_EQ(matching[0]->processIdentifier(), app_->pid());
    EXPECT_TRUE(applications_->runningApplications("orvex-test-gtk-window").empty());

    app_->stop();
    EXPECT_TRUE(front->isTerminated());
    EXPECT_TRUE(eventually([&] { return !applications_->frontmostApplication(); }));
}

TEST_F(AtspiBackendDesktop, WindowsFramesAndMinimizedState) {
    EXPECT_TRUE(accessibility_->isProcessTrusted(false));
    auto app = accessibility_->applicationElement(app_->pid());
    ASSERT_TRUE(app);
    EXPECT_EQ(text(*app, "AXRole"), "AXApplication");
    auto windows = app->copyAttribute("AXWindows");
    ASSERT_TRUE(windows.elements());
    ASSERT_EQ(windows.elements()->size(), 1u);
    auto window = windows.elements()->front();
    EXPECT_TRUE(sameElement(app->copyAttribute("AXFocusedWindow").element(), window));
    EXPECT_TRUE(sameElement(app->copyAttribute("AXMainWindow").element(), window));
    EXPECT_EQ(text(*window, "AXRole"), "AXWindow");
    EXPECT_EQ(text(*window, "AXTitle"), "Orvex GTK test window");
    auto size = window->copyAttribute("AXSize");
    ASSERT_TRUE(size.size());
    EXPECT_GE(size.size()->width, 600);
    EXPECT_EQ(window->pid(), app_->pid());
    EXPECT_EQ(*window->copyAttribute("AXMinimized").boolean(), false);

    kill(app_->pid(), SIGUSR1);
    EXPECT_TRUE(eventually([&] {
        auto minimized = window->copyAttribute("AXMinimized");
        return minimized.boolean() && *minimized.boolean();
    }));
    EXPECT_EQ(app->copyAttribute("AXFocusedWindow").error, AXError::noValue);
}

TEST_F(AtspiBackendDesktop, TextInputsRolesValuesAndFocus) {
    auto app = accessibility_->applicationElement(app_->pid());
    auto window = app->copyAttribute("AXFocusedWindow").element();
    ASSERT_TRUE(window);
    auto draft = findByDescription(window, "Upper editor");
    auto transcript = findByDescription(window, "Read only");
    auto subject = findByDescription(window, "Single line");
    ASSERT_TRUE(draft && transcript && subject);
    EXPECT_EQ(text(*draft, "AXRole"), "AXTextArea");
    EXPECT_EQ(text(*transcript, "AXRole"), "AXTextArea");
    EXPECT_EQ(text(*subject, "AXRole"), "AXTextField");
    EXPECT_EQ(text(*subject, "AXPlaceholderValue"), "Subject line");
    EXPECT_EQ(draft->copyAttribute("AXPlaceholderValue").error, AXError::noValue);
    bool settable = false;
    EXPECT_EQ(draft->isAttributeSettable("AXValue", settable), AXError::success);
    EXPECT_TRUE(settable);
    EXPECT_EQ(transcript->isAttributeSettable("AXValue", settable), AXError::success);
    EXPECT_FALSE(settable);

    EXPECT_EQ(text(*draft, "AXValue"), "Draft");
    EXPECT_EQ(draft->setAttribute("AXValue", std::string("hello")), AXError::success);
    EXPECT_EQ(text(*draft, "AXValue"), "hello");

    EXPECT_EQ(draft->setAttribute("AXFocused", true), AXError::success);
    EXPECT_EQ(*draft->copyAttribute("AXFocused").boolean(), true);
    auto focused = accessibility_->systemWideElement()->copyAttribute("AXFocusedUIElement");
    ASSERT_TRUE(focused.element());
    EXPECT_TRUE(sameElement(focused.element(), draft));
    EXPECT_EQ(draft->setAttribute("AXFocused", std::string("yes")), AXError::illegalArgument);
}

}  // namespace
}  // namespace orvex::testing

// The Chrome tab search, run by the script interpreter on simulated browser states.

#include <gtest/gtest.h>

#include <filesystem>

#include "app/execution/apple_script_runner.h"
#include "base/clock.h"
#include "base/log.h"
#include "base/manual_main_queue.h"
#include "base/task_runner.h"
#include "base/uuid.h"
#include "desktop/sim/sim_desktop.h"
#include "desktop/sim/sim_scenario.h"
#include "desktop/sim/sim_scripting.h"

namespace orvex {
namespace {

const std::string kURL = "https://chat.example.com/";

class TabSearchTest : public ::testing::Test {
  protected:
    TabSearchTest()
        : sandbox_(std::filesystem::temp_directory_path() / ("orvex-tabs-" + newUuid())),
          queue_(clock_),
          sim_(SimDesktop::create(clock_, queue_)) {
        std::filesystem::create_directories(sandbox_);
    }
    ~TabSearchTest() override {
        std::error_code ignored;
        std::filesystem::remove_all(sandbox_, ignored);
    }

    // A scenario with a browser whose windows (front first) are given as JSON.
    void withBrowser(const std::string& windowsJson, bool running = true,
                     const std::string& automation = "granted") {
        std::string browser = R"({"bundleId": "com.google.Chrome", "name": "Google Chrome",
                                  "kind": "browser", "running": )";
        browser += running ? "true, \"windows\": " + windowsJson + "}" : "false}";
        load(R"({"permissions": {"browserAutomation": ")" + automation +
             R"("}, "applications": [)" + browser + "]}");
    }
    void load(const std::string& scenario) {
        auto error = applyScenarioText(*sim_, scenario, sandbox_);
        ASSERT_FALSE(error) << *error;
    }

    std::vector<SimWindowInfo> windows() const { return sim_->windows("com.google.Chrome"); }
    std::string errorOf(const std::string& url) {
        try {
            runner_.chromeOpenOrFocusTab(url);
        } catch (const AppleScriptError& error) {
            return error.message();
        }
        return "no error";
    }

    std::filesystem::path sandbox_;
    VirtualClock clock_;
    ManualMainQueue queue_;
    std::shared_ptr<SimDesktop> sim_;
    SimScripting scripting_{sim_};
    ManualTaskRunner tasks_;
    AppleScriptRunner runner_{scripting_.host(), *sim_->desktop().keyboard, clock_, tasks_};
};

TEST_F(TabSearchTest, ActiveTabInTheFrontWindowIsKept) {
    withBrowser(R"([{"tabs": [{"url": "https://news.example/"},
                              {"url": "https://chat.example.com/c/7"}], "activeTab": 2},
                    {"tabs": [{"url": "https://mail.example/"}]}])");
    auto before = windows();
    EXPECT_TRUE(runner_.chromeOpenOrFocusTab(kURL));
    auto after = windows();
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[0].id, before[0].id);
    EXPECT_EQ(after[0].tabs.size(), 2u);
    EXPECT_EQ(after[0].activeTabIndex, 2);
}

TEST_F(TabSearchTest, ActiveTabOfABackgroundWindowBeatsABackgroundTabInFront) {
    withBrowser(R"([{"tabs": [{"url": "https://news.example/"},
                              {"url": "https://chat.example.com/old"}], "activeTab": 1},
                    {"tabs": [{"url": "https://chat.example.com/c/1"}]}])");
    SimWindowId second = windows()[1].id;
    EXPECT_TRUE(runner_.chromeOpenOrFocusTab(kURL));
    auto after = windows();
    EXPECT_EQ(after[0].id, second);
    EXPECT_EQ(after[1].activeTabIndex, 1);  // the other window's tab was left alone
}

TEST_F(TabSearchTest, BackgroundTabOfAnotherWindowBecomesActiveAndFront) {
    withBrowser(R"([{"tabs": [{"url": "https://news.example/"}]},
                    {"tabs": [{"url": "https://mail.example/"}, {"url": "https://x.example/"},
                              {"url": "https://chat.example.com/c/2"}], "activeTab": 1}])");
    SimWindowId second = windows()[1].id;
    EXPECT_TRUE(runner_.chromeOpenOrFocusTab(kURL));
    auto after = windows();
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[0].id, second);
    EXPECT_EQ(after[0].activeTabIndex, 3);
    EXPECT_EQ(after[0].tabs.size(), 3u);
    EXPECT_EQ(after[1].tabs.size(), 1u);
}

TEST_F(TabSearchTest, NoMatchOpensATabInTheFrontWindow) {
    withBrowser(R"([{"tabs": [{"url": "https://news.example/"}]},
                    {"tabs": [{"url": "https://mail.example/"}]}])");
    EXPECT_FALSE(runner_.chromeOpenOrFocusTab(kURL));
    auto after = windows();
    ASSERT_EQ(after.size(), 2u);
    ASSERT_EQ(after[0].tabs.size(), 2u);
    EXPECT_EQ(after[0].tabs[1].url, kURL);
    EXPECT_EQ(after[0].activeTabIndex, 2);
    EXPECT_EQ(after[1].tabs.size(), 1u);
}

TEST_F(TabSearchTest, NoWindowOpensOneOnTheURL) {
    withBrowser("[]");
    EXPECT_FALSE(runner_.chromeOpenOrFocusTab(kURL));
    auto after = windows();
    ASSERT_EQ(after.size(), 1u);
    ASSERT_GE(after[0].activeTabIndex, 1);
    EXPECT_EQ(after[0].tabs[static_cast<std::size_t>(after[0].activeTabIndex - 1)].url, kURL);
    EXPECT_EQ(sim_->frontmostApplication()->name, "Google Chrome");
}

TEST_F(TabSearchTest, ABrowserThatIsNotRunningIsLaunchedAndGetsTheTab) {
    withBrowser("", false);
    EXPECT_FALSE(runner_.chromeOpenOrFocusTab(kURL));
    ASSERT_TRUE(sim_->application("Google Chrome")->running);
    auto after = windows();
    ASSERT_FALSE(after.empty());
    EXPECT_EQ(after[0].tabs.back().url, kURL);
}

TEST_F(TabSearchTest, DeniedAutomationIsReportedAsSuch) {
    ScopedLogCapture logs;
    withBrowser(R"([{"tabs": [{"url": "https://news.example/"}]}])", true, "denied");
    EXPECT_EQ(errorOf(kURL), "Chrome automation denied");
    EXPECT_EQ(windows()[0].tabs.size(), 1u);
    EXPECT_TRUE(logs.system().contains(
        "[AppleScript] error: Not authorized to send Apple events to Google Chrome. (-1743)"));
}

TEST_F(TabSearchTest, AutomationConsentIsAskedOnceAndThenWorks) {
    withBrowser(R"([{"tabs": [{"url": "https://news.example/"}]}])", true, "grantedOnPrompt");
    EXPECT_FALSE(runner_.chromeOpenOrFocusTab(kURL));
    EXPECT_TRUE(runner_.chromeOpenOrFocusTab(kURL));
    int prompts = 0;
    for (const Json& entry : sim_->journal()) {
        prompts += entry.at("event") == "permissionPrompt" ? 1 : 0;
    }
    EXPECT_EQ(prompts, 1);
}

TEST_F(TabSearchTest, NoBrowserMeansNotInstalled) {
    load(R"({"applications": [{"name": "Editor", "kind": "editor", "running": true}]})");
    EXPECT_EQ(errorOf(kURL), "Chrome not installed");
}

TEST_F(TabSearchTest, FrontTabQuery) {
    withBrowser(R"([{"tabs": [{"url": "https://a.example/"}, {"url": "https://b.example/"}],
                     "activeTab": 2}, {"tabs": [{"url": "https://c.example/"}]}])");
    EXPECT_EQ(runner_.chromeFrontTabURL(), "https://b.example/");
    for (const SimWindowInfo& window : windows()) {
        sim_->closeWindow(window.id);
    }
    EXPECT_EQ(runner_.chromeFrontTabURL(), std::nullopt);
    sim_->setPermission(SimPermission::browserAutomation, SimPermissionState::denied);
    EXPECT_EQ(runner_.chromeFrontTabURL(), std::nullopt);
}

}  // namespace
}  // namespace orvex

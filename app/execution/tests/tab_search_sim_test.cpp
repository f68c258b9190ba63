// The Chrome tab search, run by the script interpreter on simulated browser states.

#include "app/execution/tests/sim_execution_fixture.h"
#include "base/log.h"

namespace orvex::execution_test {
namespace {

const std::string kURL = "https://chat.example.com/";

class TabSearchTest : public SimExecutionFixture {
  protected:
    // A scenario with a browser whose windows (front first) are given as JSON.
    void withBrowser(const std::string& windowsJson, bool running = true,
                     const std::string& automation = "granted") {
        std::string browser = R"({"bundleId": "com.google.Chrome", "name": "Google Chrome",
                                  "kind": "browser", "running": )";
        browser += running ? "true, \"windows\": " + windowsJson + "}" : "false}";
        load(R"({"permissions": {"browserAutomation": ")" + automation +
             R"("}, "applications": [)" + browser + "]}");
    }
    std::vector<SimWindowInfo> windows() const { return sim_->windows("com.google.Chrome"); }
    std::string errorOf(const std::string& url) {
        try {
            scripts_->chromeOpenOrFocusTab(url);
        } catch (const AppleScriptError& error) {
            return error.message();
        }
        return "no error";
    }
};

TEST_F(TabSearchTest, ActiveTabInTheFrontWindowIsKept) {
    withBrowser(R"([{"tabs": [{"url": "https://news.example/"},
                              {"url": "https://chat.example.com/c/7"}], "activeTab": 2},
                    {"tabs": [{"url": "https://mail.example/"}]}])");
    auto before = windows();
    EXPECT_TRUE(scripts_->chromeOpenOrFocusTab(kURL));
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
    EXPECT_TRUE(scripts_->chromeOpenOrFocusTab(kURL));
    auto after = windows();
    EXPECT_EQ(after[0].id, second);
    EXPECT_EQ(after[1].activeTabIndex, 1);  // the other window's tab was left alone
}

TEST_F(TabSearchTest, BackgroundTabOfAnotherWindowBecomesActiveAndFront) {
    withBrowser(R"([{"tabs": [{"url": "https://news.example/"}]},
                    {"tabs": [{"url": "https://mail.example/"}, {"url": "https://x.example/"},
                              {"url": "https://chat.example.com/c/2"}], "activeTab": 1}])");
    SimWindowId second = windows()[1].id;
    EXPECT_TRUE(scripts_->chromeOpenOrFocusTab(kURL));
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
    EXPECT_FALSE(scripts_->chromeOpenOrFocusTab(kURL));
    auto after = windows();
    ASSERT_EQ(after.size(), 2u);
    ASSERT_EQ(after[0].tabs.size(), 2u);
    EXPECT_EQ(after[0].tabs[1].url, kURL);
    EXPECT_EQ(after[0].activeTabIndex, 2);
    EXPECT_EQ(after[1].tabs.size(), 1u);
}

TEST_F(TabSearchTest, NoWindowOpensOneOnTheURL) {
    withBrowser("[]");
    EXPECT_FALSE(scripts_->chromeOpenOrFocusTab(kURL));
    auto after = windows();
    ASSERT_EQ(after.size(), 1u);
    ASSERT_GE(after[0].activeTabIndex, 1);
    EXPECT_EQ(after[0].tabs[static_cast<std::size_t>(after[0].activeTabIndex - 1)].url, kURL);
    EXPECT_EQ(sim_->frontmostApplication()->name, "Google Chrome");
}

TEST_F(TabSearchTest, ABrowserThatIsNotRunningIsLaunchedAndGetsTheTab) {
    withBrowser("", false);
    EXPECT_FALSE(scripts_->chromeOpenOrFocusTab(kURL));
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
    EXPECT_FALSE(scripts_->chromeOpenOrFocusTab(kURL));
    EXPECT_TRUE(scripts_->chromeOpenOrFocusTab(kURL));
    EXPECT_EQ(events("permissionPrompt").size(), 1u);
}

TEST_F(TabSearchTest, FrontTabQuery) {
    withBrowser(R"([{"tabs": [{"url": "https://a.example/"}, {"url": "https://b.example/"}],
                     "activeTab": 2}, {"tabs": [{"url": "https://c.example/"}]}])");
    EXPECT_EQ(scripts_->chromeFrontTabURL(), "https://b.example/");
    for (const SimWindowInfo& window : windows()) {
        sim_->closeWindow(window.id);
    }
    EXPECT_EQ(scripts_->chromeFrontTabURL(), std::nullopt);
    sim_->setPermission(SimPermission::browserAutomation, SimPermissionState::denied);
    EXPECT_EQ(scripts_->chromeFrontTabURL(), std::nullopt);
}

}  // namespace
}  // namespace orvex::execution_test

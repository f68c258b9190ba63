// The Chrome tab search, run by the script interpreter on simulated browser states.

#include "app/execution/tests/sim_execution_fixture.h"

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
    std::vector<SimWindowInfo> windows() const { return sim_->windows(kChrome); }
};

// The browser's windows before the search (front first), whether it found a tab, and the
// windows afterwards as "window:active tab/tabs" with the windows numbered from 0 as they
// were, "new" for one the search opened.
struct TabCase {
    const char* windows;
    bool found;
    Strings after;
};

class TabSearchCaseTest : public TabSearchTest, public ::testing::WithParamInterface<TabCase> {};

TEST_P(TabSearchCaseTest, TheBestTabIsBroughtForwardOrOneIsOpened) {
    const TabCase& c = GetParam();
    withBrowser(c.windows);
    std::vector<SimWindowInfo> before = windows();

    EXPECT_EQ(scripts_->chromeOpenOrFocusTab(kURL), c.found);

    Strings after;
    for (const SimWindowInfo& window : windows()) {
        auto old = std::find_if(before.begin(), before.end(),
                                [&](const SimWindowInfo& w) { return w.id == window.id; });
        after.push_back((old == before.end() ? "new" : std::to_string(old - before.begin())) + ":" +
                        std::to_string(window.activeTabIndex) + "/" +
                        std::to_string(window.tabs.size()));
        if (!c.found && after.size() == 1) {
            ASSERT_GE(window.activeTabIndex, 1);
            EXPECT_EQ(window.tabs[static_cast<std::size_t>(window.activeTabIndex - 1)].url, kURL);
        }
    }
    EXPECT_EQ(after, c.after);
}

INSTANTIATE_TEST_SUITE_P(
    States, TabSearchCaseTest,
    ::testing::Values(
        // The active tab of the front window is kept.
        TabCase{R"([{"tabs": [{"url": "https://news.example/"},
                              {"url": "https://chat.example.com/c/7"}], "activeTab": 2},
                    {"tabs": [{"url": "https://mail.example/"}]}])",
                true,
                {"0:2/2", "1:1/1"}},
        // The active tab of a window behind beats a background tab in front.
        TabCase{R"([{"tabs": [{"url": "https://news.example/"},
                              {"url": "https://chat.example.com/old"}], "activeTab": 1},
                    {"tabs": [{"url": "https://chat.example.com/c/1"}]}])",
                true,
                {"1:1/1", "0:1/2"}},
        // A background tab of a window behind becomes active, and its window the front one.
        TabCase{R"([{"tabs": [{"url": "https://news.example/"}]},
                    {"tabs": [{"url": "https://mail.example/"}, {"url": "https://x.example/"},
                              {"url": "https://chat.example.com/c/2"}], "activeTab": 1}])",
                true,
                {"1:3/3", "0:1/1"}},
        // No match: a tab in the front window; no window: a window on the address.
        TabCase{R"([{"tabs": [{"url": "https://news.example/"}]},
                    {"tabs": [{"url": "https://mail.example/"}]}])",
                false,
                {"0:2/2", "1:1/1"}},
        TabCase{"[]", false, {"new:1/1"}}));

TEST_F(TabSearchTest, ABrowserThatIsNotRunningIsLaunchedAndGetsTheTab) {
    withBrowser("", false);
    EXPECT_FALSE(scripts_->chromeOpenOrFocusTab(kURL));
    ASSERT_TRUE(sim_->application("Google Chrome")->running);
    ASSERT_FALSE(windows().empty());
    EXPECT_EQ(windows()[0].tabs.back().url, kURL);
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

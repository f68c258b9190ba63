#include <gmock/gmock.h>

#include <fstream>
#include <functional>

#include "desktop/sim/tests/sim_fixture.h"

namespace orvex {
namespace {

class WorkspaceTest : public SimFixture {
  protected:
    void SetUp() override {
        auto error = applyScenarioFile(*desktop_, demoPath(), sandbox_);
        ASSERT_FALSE(error) << *error;
    }
};

// Whatever was in front before, what opens the file, link or folder comes forward.
TEST_F(WorkspaceTest, EachOpenBringsItsApplicationForward) {
    const std::string home = (sandbox_ / "home").string();
    const struct {
        std::function<bool()> open;
        const char* front;
    } cases[] = {
        {[&] { return d_.workspace->openFile(home + "/Documents/notes.txt"); }, "TextEdit"},
        {[&] { return d_.workspace->openURL("https://example.com/help"); }, "Google Chrome"},
        {[&] { return d_.workspace->showFolder(home + "/Documents"); }, "Finder"},
    };
    for (const auto& c : cases) {
        desktop_->userActivate("Terminal");
        ASSERT_EQ(desktop_->frontmostApplication()->name, "Terminal");
        EXPECT_TRUE(c.open());
        EXPECT_EQ(desktop_->frontmostApplication()->name, c.front);
    }
}

// What the editor offers for an app preset is exactly what a run can find by name.
TEST_F(WorkspaceTest, TheInstalledApplicationsAreTheOnesFoundByName) {
    std::vector<std::string> names = d_.workspace->installedApplicationNames();
    EXPECT_THAT(names, ::testing::IsSupersetOf({"ChatGPT", "Google Chrome", "TextEdit"}));
    EXPECT_TRUE(std::ranges::is_sorted(names));
    for (const std::string& name : names)
        EXPECT_TRUE(d_.workspace->applicationPathForName(name, true)) << name;
}

TEST_F(WorkspaceTest, FilesOpenWithTheirDefaultApplicationWhenTheyExist) {
    std::string notes = (sandbox_ / "home/Documents/notes.txt").string();
    EXPECT_TRUE(d_.workspace->openFile(notes));
    ASSERT_EQ(events("fileOpened").size(), 1u);
    EXPECT_EQ(events("fileOpened")[0].at("app"), "com.apple.TextEdit");

    EXPECT_FALSE(d_.workspace->openFile("~/Documents/notes.txt"));  // no tilde expansion
    EXPECT_FALSE(d_.workspace->openFile(notes + ".missing"));
    std::ofstream(sandbox_ / "home/data.xyz") << "x";
    EXPECT_FALSE(d_.workspace->openFile((sandbox_ / "home/data.xyz").string()));
    EXPECT_EQ(events("openRefused").size(), 3u);
}

TEST_F(WorkspaceTest, WebLinksOpenInTheDefaultBrowser) {
    EXPECT_TRUE(d_.workspace->openURL("https://example.com/help"));
    auto window = desktop_->windows("com.google.Chrome").front();
    EXPECT_EQ(window.tabs.back().url, "https://example.com/help");
    EXPECT_EQ(window.activeTabIndex, static_cast<int>(window.tabs.size()));
    EXPECT_FALSE(d_.workspace->openURL("mailto:someone@example.com"));
    EXPECT_THAT(d_.workspace->httpsURLHandlerBundleIds(),
                ::testing::ElementsAre("com.google.Chrome"));
}

TEST_F(WorkspaceTest, ShowFolderReusesAWindowOnTheSameFolder) {
    std::string documents = (sandbox_ / "home/Documents").string();
    std::string home = (sandbox_ / "home").string();
    EXPECT_TRUE(d_.workspace->showFolder(documents));
    EXPECT_EQ(desktop_->windows("Finder").size(), 1u);
    EXPECT_TRUE(d_.workspace->showFolder(home));
    auto windows = desktop_->windows("Finder");
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(windows[0].folder, home);
    EXPECT_FALSE(d_.workspace->showFolder(home + "/nowhere"));
}

TEST_F(WorkspaceTest, WakeIsDeliveredOnTheMainQueue) {
    int wakes = 0;
    d_.workspace->subscribeDidWake([&] { ++wakes; });
    desktop_->wake();
    EXPECT_EQ(wakes, 0);
    queue_.runUntilIdle();
    EXPECT_EQ(wakes, 1);
}

TEST_F(WorkspaceTest, InterfaceLanguagesAreStoredAndJournaled) {
    d_.userDefaults->setInterfaceLanguages({"ja"});
    EXPECT_EQ(d_.userDefaults->stringForKey("com.tavrin.orvex", "AppleLanguages"), "ja");
    ASSERT_EQ(events("interfaceLanguages").size(), 1u);
    EXPECT_EQ(events("interfaceLanguages")[0].at("languages"), Json::array({"ja"}));
}

}  // namespace
}  // namespace orvex

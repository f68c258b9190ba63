#include <gmock/gmock.h>

#include <fstream>

#include "desktop/sim/tests/sim_fixture.h"

namespace orvex {
namespace {

class WorkspaceTest : public SimFixture {
  protected:
    void SetUp() override {
        auto error = applyScenarioFile(*desktop_, demoPath(), sandbox_);
        ASSERT_FALSE(error) << *error;
        d_ = desktop_->desktop();
    }

    // Records the names of activated applications, in order, in activated_.
    void subscribe() {
        d_.workspace->subscribeDidActivateApplication([this](RunningApplicationRef app) {
            activated_.push_back(app->localizedName().value_or("?"));
        });
    }

    Desktop d_;
    std::vector<std::string> activated_;
};

TEST_F(WorkspaceTest, ActivationMovesTheFrontmostAppAndNotifiesOnTheMainQueue) {
    subscribe();
    auto chatgpt = d_.runningApplications->runningApplications("com.openai.codex");
    ASSERT_EQ(chatgpt.size(), 1u);
    EXPECT_TRUE(chatgpt[0]->activate(true));
    EXPECT_EQ(d_.runningApplications->frontmostApplication()->localizedName(), "ChatGPT");
    EXPECT_TRUE(activated_.empty());  // delivered later, on the main queue
    queue_.runUntilIdle();
    EXPECT_EQ(activated_, (std::vector<std::string>{"ChatGPT"}));

    // Activating what is already in front is no event.
    chatgpt[0]->activate(false);
    desktop_->userActivate("Terminal");
    queue_.runUntilIdle();
    EXPECT_EQ(activated_, (std::vector<std::string>{"ChatGPT", "Terminal"}));
    auto entries = events("activate");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].at("by"), "requestIgnoringOtherApps");
    EXPECT_EQ(entries[0].at("previous"), "com.apple.TextEdit");
    EXPECT_EQ(entries[1].at("by"), "user");
}

TEST_F(WorkspaceTest, UnsubscribedHandlersHearNothing) {
    auto id = d_.workspace->subscribeDidActivateApplication(
        [this](RunningApplicationRef) { activated_.push_back("x"); });
    d_.workspace->unsubscribe(id);
    desktop_->userActivate("Terminal");
    queue_.runUntilIdle();
    EXPECT_TRUE(activated_.empty());
}

TEST_F(WorkspaceTest, QuitApplicationsReadAsTerminatedAndTheNextAppComesForward) {
    desktop_->userActivate("Terminal");
    auto terminal = d_.runningApplications->frontmostApplication();
    ASSERT_TRUE(desktop_->terminate("Terminal"));
    EXPECT_TRUE(terminal->isTerminated());
    EXPECT_EQ(terminal->bundleIdentifier(), "com.apple.Terminal");  // still known
    EXPECT_FALSE(terminal->activate(true));
    EXPECT_EQ(d_.runningApplications->frontmostApplication()->localizedName(), "TextEdit");
    EXPECT_TRUE(d_.runningApplications->runningApplications("com.apple.Terminal").empty());
}

TEST_F(WorkspaceTest, OpeningAnInstalledAppLaunchesItWithAWindowAndActivatesIt) {
    subscribe();
    auto url = d_.workspace->urlForApplication("com.google.GeminiMacOS");
    ASSERT_TRUE(url);
    RunningApplicationRef launched;
    std::optional<std::string> failure = "not called";
    d_.workspace->openApplication(*url, OpenConfiguration{},
                                  [&](RunningApplicationRef app, std::optional<std::string> error) {
                                      launched = app;
                                      failure = error;
                                  });
    EXPECT_FALSE(failure);
    ASSERT_TRUE(launched);
    EXPECT_EQ(launched->bundleIdentifier(), "com.google.GeminiMacOS");
    EXPECT_EQ(desktop_->windows("Gemini").size(), 1u);
    EXPECT_EQ(desktop_->frontmostApplication()->name, "Gemini");
    queue_.runUntilIdle();
    EXPECT_EQ(activated_, (std::vector<std::string>{"Gemini"}));
    EXPECT_EQ(events("launch").size(), 1u);

    EXPECT_FALSE(d_.workspace->urlForApplication("com.example.absent"));
    d_.workspace->openApplication("/Applications/Absent.app", OpenConfiguration{},
                                  [&](RunningApplicationRef app, std::optional<std::string> error) {
                                      launched = app;
                                      failure = error;
                                  });
    EXPECT_FALSE(launched);
    EXPECT_TRUE(failure);
}

TEST_F(WorkspaceTest, ReopeningAnAppWithoutWindowsOpensOne) {
    auto windows = desktop_->windows("ChatGPT");
    ASSERT_EQ(windows.size(), 1u);
    desktop_->closeWindow(windows[0].id);
    d_.workspace->openApplication(*d_.workspace->urlForApplication("com.openai.codex"),
                                  OpenConfiguration{}, nullptr);
    EXPECT_EQ(desktop_->windows("ChatGPT").size(), 1u);
    EXPECT_EQ(events("launch").size(), 0u);
    EXPECT_EQ(events("reopen").size(), 1u);
}

TEST_F(WorkspaceTest, ApplicationsAreFoundByNameInTheApplicationFolders) {
    EXPECT_FALSE(d_.workspace->applicationPathForName("Terminal", false));
    EXPECT_EQ(d_.workspace->applicationPathForName("Terminal", true),
              "/Applications/Utilities/Terminal.app");
    EXPECT_EQ(d_.workspace->applicationPathForName("ChatGPT", false), "/Applications/ChatGPT.app");
    EXPECT_FALSE(d_.workspace->applicationPathForName("Nothing", true));
}

TEST_F(WorkspaceTest, FilesOpenWithTheirDefaultApplicationWhenTheyExist) {
    std::string notes = (sandbox_ / "home/Documents/notes.txt").string();
    EXPECT_TRUE(d_.workspace->openFile(notes));
    EXPECT_EQ(desktop_->frontmostApplication()->name, "TextEdit");
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
    EXPECT_EQ(desktop_->frontmostApplication()->name, "Google Chrome");
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
    EXPECT_EQ(desktop_->frontmostApplication()->name, "Finder");
    EXPECT_FALSE(d_.workspace->showFolder(home + "/nowhere"));
}

TEST_F(WorkspaceTest, WakeIsDeliveredToSubscribers) {
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

// How failures of whole runs reach the status line through the executor: the classification
// of real error texts, the truncation of unknown ones, and the main window brought forward
// after the status is in place.

#include "app/execution/tests/preset_run_fixture.h"

namespace orvex::preset_run_test {
namespace {

using ::testing::ElementsAre;

class RunFailuresTest : public PresetRunFixture {
  protected:
    // ChatGPT installed but failing to launch with `message`.
    void loadFailingLaunch(const std::string& message) {
        Json app = chatApp(kChatGPT, "ChatGPT", false);
        app["launchError"] = message;
        load(scenario({editor("Hello world", 6, 5), app}, kEditor));
    }
};

TEST_F(RunFailuresTest, AnUnknownErrorShowsItsFirstFiftyCharacters) {
    // 60 characters of three bytes each: the message keeps 50 characters (150 bytes).
    std::string description;
    for (int i = 0; i < 12; ++i) {
        description += "起動できません";
        description += "。";
        description += "…";
        description += "！";
    }
    ASSERT_EQ(description.size(), 12u * 10 * 3);
    loadFailingLaunch(description);

    std::optional<std::string> failure = run(aiPreset({"chatgpt-app"}));

    Status expected = error("status.unknownError", {{"msg", description.substr(0, 150)}});
    EXPECT_EQ(failure, expected.message);
    EXPECT_THAT(statuses(), ElementsAre(ok("status.sending"), expected));
    EXPECT_EQ(showMainWindowCount(), 1);
}

TEST_F(RunFailuresTest, TheEarlierPhraseOfTheTableWins) {
    Json chatgpt = chatApp(kChatGPT, "ChatGPT", false);
    chatgpt["launchError"] = "Claude not installed (page load timeout)";
    Json claude = chatApp(kClaude, "Claude", false);
    claude["launchError"] = "ChatGPT crashed: clipboard locked";
    load(scenario({editor("Hello world", 6, 5), chatgpt, claude}, kEditor));

    EXPECT_EQ(run(aiPreset({"chatgpt-app"})), text("status.pageLoadTimeout"));
    // "ChatGPT" without "not running" passes the launch rows by.
    EXPECT_EQ(run(aiPreset({"claude-app"})), text("status.clipboardFailed"));
}

TEST_F(RunFailuresTest, TheMainWindowComesForwardOnlyOnceTheErrorIsShown) {
    loadFailingLaunch("ChatGPT is not running");
    std::vector<Status> seenByWindow;
    notifications_.addObserver(notifications::showMainWindow, [&](const AppNotification&) {
        seenByWindow.push_back({appState_.statusMessage(), appState_.statusIsError()});
    });

    std::optional<std::string> failure = run(aiPreset({"chatgpt-app"}));

    EXPECT_EQ(failure, text("status.chatgptCannotLaunch"));
    EXPECT_THAT(seenByWindow, ElementsAre(error("status.chatgptCannotLaunch")));
    EXPECT_EQ(executor_->lastError(), failure);
}

TEST_F(RunFailuresTest, TheCallerHearsEveryEndingErrorLastErrorOnlyThrownOnes) {
    load(scenario({editor("Hello world", 6, 5), chatApp(kChatGPT, "ChatGPT", true)}, kEditor));
    PresetData missing = aiPreset({});
    missing.appName = "Nowhere";
    missing.filePath = "/nowhere";

    // The unknown application is reported by the action itself: the run failed, but
    // nothing was thrown.
    EXPECT_EQ(run(missing), text("status.cannotLaunch", {{"appName", "Nowhere"}}));
    EXPECT_EQ(executor_->lastError(), std::nullopt);

    PresetData failing = aiPreset({"terminal"});
    EXPECT_NE(run(failing), std::nullopt);
    EXPECT_TRUE(executor_->lastError());

    EXPECT_EQ(run(aiPreset({"chatgpt-app"})), std::nullopt);
    EXPECT_EQ(executor_->lastError(), std::nullopt);
}

}  // namespace
}  // namespace orvex::preset_run_test

// How failures of whole runs reach the status line through the executor and the caller, and
// the main window brought forward after the status is in place.

#include "app/execution/tests/sim_execution_fixture.h"

namespace orvex::execution_test {
namespace {

using ::testing::ElementsAre;

class RunFailuresTest : public SimExecutionFixture {
  protected:
    // ChatGPT installed but failing to launch with `message`.
    void loadFailingLaunch(const std::string& message) {
        Json app = chatApp(kChatGPT, "ChatGPT", false);
        app["launchError"] = message;
        load(scenario({editor("Hello world", 6, 5), app}, kEditor));
    }
};

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
}  // namespace orvex::execution_test

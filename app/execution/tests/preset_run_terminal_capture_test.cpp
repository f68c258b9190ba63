// Whole presets that deliver to the Terminal, and screen captures delivered to the Terminal
// (as a file path) and to a chat app (as an image).

#include <sys/stat.h>

#include <filesystem>

#include "app/execution/tests/sim_execution_fixture.h"

namespace orvex::execution_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class TerminalAndCaptureTest : public SimExecutionFixture {
  protected:
    static PresetData capturePreset(std::vector<std::string> destinations, std::string prompt,
                                    bool autoSend) {
        PresetData preset = aiPreset(std::move(destinations), std::move(prompt), autoSend);
        preset.useCapture = true;
        return preset;
    }
    std::vector<std::filesystem::path> filesInRuntimeDirectory() const {
        std::vector<std::filesystem::path> files;
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(runtimeDirectory(), ignored)) {
            files.push_back(entry.path());
        }
        return files;
    }
};

TEST_F(TerminalAndCaptureTest, TextIsPastedIntoTheTerminalWindow) {
    load(scenario({editor("ls -la", 0, 6), terminalApp(true, true)}, kEditor));

    EXPECT_EQ(run(aiPreset({"terminal"})), std::nullopt);

    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].appKey, kTerminal);
    EXPECT_EQ(messages()[0].text, "ls -la");
    EXPECT_THAT(events("reopen"), IsEmpty());
    // Source, copy, then the paste script's two pauses.
    EXPECT_THAT(sleeps(), ElementsAre(200ms, 300ms, 300ms, 300ms));
    EXPECT_THAT(statuses(), ElementsAre(ok("status.sending"), ok("status.sent")));
}

TEST_F(TerminalAndCaptureTest, ATerminalWithoutWindowIsOpenedFirst) {
    load(scenario({editor("ls -la", 0, 6), terminalApp(true, false)}, kEditor));

    EXPECT_EQ(run(aiPreset({"terminal"}, "", /*autoSend=*/false)), std::nullopt);

    EXPECT_EQ(events("reopen").size(), 1u);
    EXPECT_EQ(sim_->elementValue(kTerminal, "shell"), "ls -la");
    EXPECT_THAT(messages(), IsEmpty());
    EXPECT_THAT(sleeps(), ElementsAre(200ms, 300ms, 500ms, 300ms, 300ms));
}

TEST_F(TerminalAndCaptureTest, ATerminalThatIsNotRunningIsLaunchedFromItsFolder) {
    Json terminal = terminalApp(false, false);
    terminal["path"] = "/Applications/Utilities/Terminal.app";
    load(scenario({editor("ls -la", 0, 6), terminal}, kEditor));

    EXPECT_EQ(run(aiPreset({"terminal"})), std::nullopt);

    std::vector<Json> launches = events("launch");
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].at("app"), kTerminal);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, "ls -la");
}

TEST_F(TerminalAndCaptureTest, AMissingTerminalIsAnUnknownErrorNamingIt) {
    load(scenario({editor("ls -la", 0, 6)}, kEditor));

    EXPECT_EQ(run(aiPreset({"terminal"})),
              text("status.unknownError", {{"msg", "App not found: Terminal"}}));
}

TEST_F(TerminalAndCaptureTest, ACaptureForTheTerminalPastesItsPathAndKeepsTheFile) {
    load(scenario({editor("x", 0, 1), terminalApp(true, true)}, kEditor));

    EXPECT_EQ(run(capturePreset({"terminal"}, "What is this?", /*autoSend=*/false)), std::nullopt);

    std::vector<Json> captures = events("capture");
    ASSERT_EQ(captures.size(), 1u);
    std::filesystem::path file = captures[0].at("path").get<std::string>();
    EXPECT_EQ(file.parent_path(), runtimeDirectory());
    EXPECT_EQ(file.filename().string().rfind("orvex-capture-", 0), 0u);
    EXPECT_EQ(file.extension(), ".png");
    EXPECT_TRUE(std::filesystem::exists(file));
    struct stat info {};
    ASSERT_EQ(::stat(runtimeDirectory().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    std::vector<Json> pastes = events("paste");
    ASSERT_EQ(pastes.size(), 1u);
    EXPECT_EQ(pastes[0].at("text"), file.string() + "\nWhat is this?");
    EXPECT_THAT(messages(), IsEmpty());
    EXPECT_EQ(hideMainWindowCount(), 1);
    EXPECT_THAT(statuses(), ElementsAre(ok("status.selectCaptureArea"), ok("status.sending"),
                                        ok("status.sent")));
    // Before the selection, then the Terminal paste script's pauses.
    EXPECT_THAT(sleeps(), ElementsAre(200ms, 300ms, 300ms));
}

TEST_F(TerminalAndCaptureTest, ACaptureForAChatAppIsPastedAsAnImageAndTheFileRemoved) {
    load(scenario({editor("x", 0, 1), chatApp(kChatGPT, "ChatGPT", true)}, kEditor));

    EXPECT_EQ(run(capturePreset({"chatgpt-app"}, "Describe", /*autoSend=*/true)), std::nullopt);

    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].appKey, kChatGPT);
    EXPECT_EQ(messages()[0].images, 1);
    EXPECT_EQ(messages()[0].text, "Describe");
    EXPECT_THAT(filesInRuntimeDirectory(), IsEmpty());
    std::vector<Json> pastes = events("paste");
    ASSERT_EQ(pastes.size(), 2u);
    EXPECT_EQ(pastes[0].at("kind"), "image");
    EXPECT_EQ(pastes[1].at("kind"), "text");
    // Before the selection, app activated, the image taken in, the prompt written, the
    // paste script's pause.
    EXPECT_THAT(sleeps(), ElementsAre(200ms, 300ms, 2000ms, 200ms, 300ms));
    EXPECT_THAT(statuses(), ElementsAre(ok("status.selectCaptureArea"), ok("status.sending"),
                                        ok("status.sent")));
}

TEST_F(TerminalAndCaptureTest, ACaptureWithoutPromptIsSentWithTheSendKey) {
    load(scenario({editor("x", 0, 1), chatApp(kChatGPT, "ChatGPT", true)}, kEditor));

    EXPECT_EQ(run(capturePreset({"chatgpt-app"}, "", /*autoSend=*/true)), std::nullopt);

    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].images, 1);
    EXPECT_EQ(messages()[0].text, "");
    EXPECT_THAT(keystrokes(), ElementsAre("cmd+v->paste", "return->send"));
}

TEST_F(TerminalAndCaptureTest, ACancelledCaptureRestoresThePreviousApplication) {
    load(scenario({editor("x", 0, 1), chatApp(kChatGPT, "ChatGPT", true)}, "Orvex",
                  {{"captures", {{{"cancelled", true}}}}}));
    userActivates(kEditor);
    userActivates(kSelf);
    markStart();

    // Cancelling is not a failure: no error text for the caller.
    EXPECT_EQ(run(capturePreset({"chatgpt-app"}, "Describe", true)), std::nullopt);

    EXPECT_THAT(statuses(),
                ElementsAre(ok("status.selectCaptureArea"), ok("status.captureCancelled")));
    std::vector<Json> activations = events("activate");
    ASSERT_EQ(activations.size(), 1u);
    EXPECT_EQ(activations[0].at("app"), kEditor);
    EXPECT_THAT(sleeps(), ElementsAre(200ms, 100ms));
    EXPECT_THAT(events("paste"), IsEmpty());
    EXPECT_THAT(filesInRuntimeDirectory(), IsEmpty());
}

TEST_F(TerminalAndCaptureTest, ACancelledCaptureLeavesAPinnedWindowInFront) {
    load(scenario({editor("x", 0, 1), terminalApp(true, true)}, "Orvex",
                  {{"captures", {{{"cancelled", true}}}}}));
    userActivates(kEditor);
    userActivates(kSelf);
    appState_.setAlwaysOnTop(true);
    markStart();

    EXPECT_EQ(run(capturePreset({"terminal"}, "", false)), std::nullopt);

    EXPECT_EQ(lastStatus(), ok("status.captureCancelled"));
    EXPECT_EQ(hideMainWindowCount(), 0);
    EXPECT_THAT(events("activate"), IsEmpty());
    EXPECT_THAT(sleeps(), ElementsAre(200ms));
}

TEST_F(TerminalAndCaptureTest, WithoutScreenRecordingTheUserIsAskedAndNothingIsCaptured) {
    load(scenario({editor("x", 0, 1), chatApp(kChatGPT, "ChatGPT", true)}, kEditor,
                  {{"permissions", {{"screenRecording", "denied"}}}}));

    EXPECT_EQ(run(capturePreset({"chatgpt-app"}, "", true)), std::nullopt);

    EXPECT_THAT(events("capture"), IsEmpty());
    EXPECT_EQ(events("permissionPrompt").size(), 1u);
    EXPECT_THAT(statuses(), IsEmpty());
}

}  // namespace
}  // namespace orvex::execution_test

// Whole presets that deliver to the Terminal, and screen captures delivered to the Terminal
// (as a file path) and to a chat app (as an image).

#include <sys/stat.h>

#include <filesystem>

#include "app/execution/tests/sim_execution_fixture.h"

namespace orvex::execution_test {
namespace {

PresetData capture(Strings destinations, std::string prompt, bool autoSend) {
    PresetData preset = aiPreset(std::move(destinations), std::move(prompt), autoSend);
    preset.useCapture = true;
    return preset;
}

std::string terminalDesk(Json terminal) {
    return scenario({editor("ls -la", 0, 6), terminal}, kEditor);
}
Json launchableTerminal() {
    Json terminal = terminalApp(false, false);
    terminal["path"] = "/Applications/Utilities/Terminal.app";
    return terminal;
}
const std::string kChatDesk =
    scenario({editor("x", 0, 1), chatApp(kChatGPT, "ChatGPT", true)}, kEditor);
const std::string kCancelled =
    scenario({editor("x", 0, 1), chatApp(kChatGPT, "ChatGPT", true), terminalApp(true, true)},
             "Orvex", {{"captures", {{{"cancelled", true}}}}});
// The capture file's name: the virtual wall clock's milliseconds when the selection starts.
const std::string kCaptureFile = "capture orvex-capture-1766016000200.png";

using TerminalAndCaptureRuns = RunTest;
TEST_P(TerminalAndCaptureRuns, Run) {
    expectRun(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    TerminalAndCapture, TerminalAndCaptureRuns,
    ::testing::Values(
        // Source, copy, then the paste script's two pauses.
        RunCase{.name = "TextIsPastedIntoTheTerminalWindow",
                .desk = terminalDesk(terminalApp(true, true)),
                .preset = aiPreset({"terminal"}),
                .statuses = {"status.sending", "status.sent"},
                .story = {"cmd+c->copy", "activate Terminal", "cmd+v->paste", "return->send"},
                .sleeps = {200ms, 300ms, 300ms, 300ms},
                .sent = {"Terminal: ls -la"}},
        RunCase{.name = "ATerminalWithoutWindowIsOpenedFirst",
                .desk = terminalDesk(terminalApp(true, false)),
                .preset = aiPreset({"terminal"}, "", /*autoSend=*/false),
                .statuses = {"status.sending", "status.sent"},
                .story = {"cmd+c->copy", "reopen Terminal", "activate Terminal", "cmd+v->paste"},
                .sleeps = {200ms, 300ms, 500ms, 300ms, 300ms},
                .values = {{{kTerminal, "shell", "ls -la"}}}},
        RunCase{.name = "ATerminalThatIsNotRunningIsLaunchedFromItsFolder",
                .desk = terminalDesk(launchableTerminal()),
                .preset = aiPreset({"terminal"}),
                .statuses = {"status.sending", "status.sent"},
                .story = {"cmd+c->copy", "launch Terminal", "activate Terminal", "cmd+v->paste",
                          "return->send"},
                .sleeps = {200ms, 300ms, 500ms, 300ms, 300ms},
                .sent = {"Terminal: ls -la"}},
        RunCase{.name = "AMissingTerminalIsAnUnknownErrorNamingIt",
                .desk = scenario({editor("ls -la", 0, 6)}, kEditor),
                .preset = aiPreset({"terminal"}),
                .statuses = {"status.sending", "!status.unknownError|msg=App not found: Terminal"},
                .story = {"cmd+c->copy"},
                .sleeps = {200ms, 300ms}},
        // Before the selection, app activated, the image taken in, the prompt written, the
        // paste script's pause.
        RunCase{.name = "ACaptureForAChatAppIsPastedAsAnImage",
                .desk = kChatDesk,
                .preset = capture({"chatgpt-app"}, "Describe", /*autoSend=*/true),
                .statuses = {"status.selectCaptureArea", "status.sending", "status.sent"},
                .story = {kCaptureFile, "activate codex", "search --app codex", "cmd+v->paste",
                          "cmd+v->paste", "return->send"},
                .sleeps = {200ms, 300ms, 2000ms, 200ms, 300ms},
                .sent = {"codex: [1 image] Describe"},
                .hidden = 1},
        RunCase{.name = "ACaptureWithoutPromptIsSentWithTheSendKey",
                .desk = kChatDesk,
                .preset = capture({"chatgpt-app"}, "", /*autoSend=*/true),
                .statuses = {"status.selectCaptureArea", "status.sending", "status.sent"},
                .story = {kCaptureFile, "activate codex", "search --app codex", "cmd+v->paste",
                          "return->send"},
                .sleeps = {200ms, 300ms, 2000ms},
                .sent = {"codex: [1 image] "},
                .hidden = 1},
        // Cancelling is not a failure: no error for the caller.
        RunCase{.name = "ACancelledCaptureRestoresThePreviousApplication",
                .desk = kCancelled,
                .preset = capture({"chatgpt-app"}, "Describe", true),
                .before = {kEditor, kSelf},
                .statuses = {"status.selectCaptureArea", "status.captureCancelled"},
                .story = {"capture", "activate editor"},
                .sleeps = {200ms, 100ms},
                .hidden = 1},
        RunCase{.name = "ACancelledCaptureLeavesAPinnedWindowInFront",
                .desk = kCancelled,
                .preset = capture({"terminal"}, "", false),
                .before = {kEditor, kSelf},
                .pinned = true,
                .statuses = {"status.selectCaptureArea", "status.captureCancelled"},
                .story = {"capture"},
                .sleeps = {200ms}},
        RunCase{.name = "WithoutScreenRecordingTheUserIsAskedAndNothingIsCaptured",
                .desk = scenario({editor("x", 0, 1), chatApp(kChatGPT, "ChatGPT", true)}, kEditor,
                                 {{"permissions", {{"screenRecording", "denied"}}}}),
                .preset = capture({"chatgpt-app"}, "", true),
                .story = {"permissionPrompt screenRecording"}}),
    runName);

// The Terminal gets the capture's path and the file stays; a chat app gets the image and the
// file goes. Both live in a directory of the user's own.
class CaptureFileRunTest : public SimExecutionFixture {};

TEST_F(CaptureFileRunTest, CaptureFilesStayOnlyForTheTerminal) {
    load(scenario({editor("x", 0, 1), terminalApp(true, true), chatApp(kChatGPT, "ChatGPT", true)},
                  kEditor));

    EXPECT_EQ(run(capture({"terminal"}, "What is this?", /*autoSend=*/false)), std::nullopt);
    std::vector<Json> pastes = events("paste");
    ASSERT_EQ(pastes.size(), 1u);
    const std::filesystem::path file = runtimeDirectory() / "orvex-capture-1766016000200.png";
    EXPECT_EQ(pastes[0].at("text"), file.string() + "\nWhat is this?");
    struct stat info {};
    ASSERT_EQ(::stat(runtimeDirectory().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    userActivates(kEditor);
    EXPECT_EQ(run(capture({"chatgpt-app"}, "", true)), std::nullopt);
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(runtimeDirectory())) {
        files.push_back(entry.path());
    }
    EXPECT_EQ(files, std::vector<std::filesystem::path>{file});
}

}  // namespace
}  // namespace orvex::execution_test

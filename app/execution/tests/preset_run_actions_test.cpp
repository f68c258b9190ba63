// Whole presets of the three simple kinds: activate an application, open a file, create a
// new file in the file manager's folder; and how the executor picks among them.

#include <filesystem>

#include "app/execution/tests/sim_execution_fixture.h"

namespace orvex::execution_test {
namespace {

// A preset whose first set field decides the action (a send to ChatGPT otherwise).
PresetData action(std::string appName, std::optional<std::string> createExtension = {},
                  std::string filePath = "") {
    PresetData preset = aiPreset({"chatgpt-app"});
    preset.appName = std::move(appName);
    preset.filePath = std::move(filePath);
    preset.createFile = createExtension.has_value();
    preset.fileExt = createExtension.value_or("");
    return preset;
}
PresetData createFile(const std::string& extension) {
    return action("", extension);
}

// Notes, running with windows minimized or not, or not running.
Json notes(bool running, std::vector<bool> minimized = {}) {
    Json app = {{"bundleId", "com.example.notes"}, {"name", "Notes"}, {"kind", "editor"}};
    app["running"] = running;
    for (std::size_t i = 0; i < minimized.size(); ++i) {
        app["windows"].push_back(
            {{"title", "note " + std::to_string(i + 1)}, {"minimized", bool(minimized[i])}});
    }
    return app;
}
Json finder(const Strings& folders) {
    Json app = {{"bundleId", kFinder},
                {"name", "Finder"},
                {"kind", "fileManager"},
                {"running", true},
                {"path", "/System/Library/CoreServices/Finder.app"}};
    for (const std::string& folder : folders) {
        app["windows"].push_back({{"folder", folder}});
    }
    return app;
}
std::string desk(Json app, Json extra = Json::object()) {
    return scenario({editor("Hello world", 6, 5), chatApp(kChatGPT, "ChatGPT", true), app}, kEditor,
                    extra);
}
Json failingNotes() {
    Json app = notes(false);
    app["launchError"] = "The application is damaged";
    return app;
}
const Strings kBringNotes = {"status.bringToFront|appName=Notes",
                             "status.broughtToFront|appName=Notes"};
const Strings kBringFinder = {"status.bringToFront|appName=Finder",
                              "status.broughtToFront|appName=Finder"};
const Json kProjectFiles = {
    {"files", {{"~/Projects/NewFile.txt", "one"}, {"~/Projects/NewFile3.txt", ""}}}};

using ActionRuns = RunTest;
TEST_P(ActionRuns, Run) {
    expectRun(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Actions, ActionRuns,
    ::testing::Values(
        // A running application with a visible window is only activated; with every window
        // minimized its first window comes back; without windows it is reopened; not running,
        // it is launched by name or bundle identifier.
        RunCase{.name = "AnApplicationWithAVisibleWindowIsActivated",
                .desk = desk(notes(true, {true, false})),
                .preset = action("Notes"),
                .statuses = kBringNotes,
                .story = {"activate notes"}},
        RunCase{.name = "AnApplicationWithOnlyMinimizedWindowsGetsItsFirstBack",
                .desk = desk(notes(true, {true, true, true})),
                .preset = action("Notes"),
                .statuses = kBringNotes,
                .story = {"windowRestored notes note 1", "activate notes"}},
        RunCase{.name = "AnApplicationWithoutWindowsIsReopened",
                .desk = desk(notes(true)),
                .preset = action("Notes"),
                .statuses = kBringNotes,
                .story = {"reopen notes", "activate notes"}},
        RunCase{.name = "AnApplicationThatIsNotRunningIsLaunchedByName",
                .desk = desk(notes(false)),
                .preset = action("Notes"),
                .statuses = kBringNotes,
                .story = {"launch notes", "activate notes"}},
        RunCase{.name = "AnApplicationThatIsNotRunningIsLaunchedByBundleIdentifier",
                .desk = desk(notes(false)),
                .preset = action("com.example.notes"),
                .statuses = {"status.bringToFront|appName=com.example.notes",
                             "status.broughtToFront|appName=com.example.notes"},
                .story = {"launch notes", "activate notes"}},
        // Whatever went wrong, the user learns that the application could not be launched.
        RunCase{.name = "AnUnknownApplicationCannotBeLaunched",
                .desk = desk(notes(false)),
                .preset = action("No Such App"),
                .statuses = {"status.bringToFront|appName=No Such App",
                             "!status.cannotLaunch|appName=No Such App"}},
        RunCase{.name = "AFailedLaunchIsReportedAsCannotLaunch",
                .desk = desk(failingNotes()),
                .preset = action("Notes"),
                .statuses = {kBringNotes[0], "!status.cannotLaunch|appName=Notes"},
                .story = {"launchFailed notes"}},
        RunCase{.name = "FinderWithAWindowIsActivatedByScript",
                .desk = desk(finder({"~/Projects"})),
                .preset = action("Finder"),
                .statuses = kBringFinder,
                .story = {"activate finder"}},
        RunCase{.name = "FinderWithoutAWindowOpensTheFolderItsPreferenceNames",
                .desk = desk(finder({}), {{"defaults", {{kFinder, {{"NewWindowTarget", "PfDo"}}}}},
                                          {"files", {{"~/Documents/readme.txt", "hello"}}}}),
                .preset = action("Finder"),
                .statuses = kBringFinder,
                .story = {"folderShown Documents", "activate finder"}},
        RunCase{.name = "FinderWithoutAWindowOrPreferenceGetsCommandN",
                .desk = desk(finder({})),
                .preset = action("Finder"),
                .statuses = kBringFinder,
                .story = {"run /bin/sh -c defaults read com.apple.finder NewWindowTarget "
                          "2>/dev/null (failed)",
                          "activate finder", "cmd+n->newWindow"},
                .sleeps = {300ms}},
        // The first free number, written right after the name: 2 follows the unnumbered name.
        RunCase{.name = "ANewFileIsNumberedPastTheTakenNames",
                .desk = desk(finder({"~/Projects"}), kProjectFiles),
                .preset = createFile(""),
                .statuses = {"status.creatingFile", "status.fileCreated|fileName=NewFile2.txt"},
                .files = {"Projects/NewFile2.txt"}},
        RunCase{.name = "WithoutAFinderWindowTheNewFileGoesToTheDesktop",
                .desk = desk(finder({}), {{"files", {{"~/Desktop/todo.txt", ""}}}}),
                .preset = createFile("md"),
                .statuses = {"status.creatingFile", "status.fileCreated|fileName=NewFile.md"},
                .files = {"Desktop/NewFile.md"}},
        // No Finder window and no Desktop folder.
        RunCase{.name = "AFolderThatCannotTakeTheFileIsReported",
                .desk = desk(finder({})),
                .preset = createFile("txt"),
                .statuses = {"status.creatingFile", "!status.fileCreateFailed"}},
        // No file manager at all: the script cannot address it.
        RunCase{.name = "AFinderScriptFailureIsReportedWithItsMessage",
                .desk = desk(notes(false)),
                .preset = createFile("txt"),
                .statuses = {"status.creatingFile",
                             "!status.finderError|msg=Can't get application \"Finder\". (-1728)"}},
        RunCase{.name = "CreateFileWinsOverAnApplicationName",
                .desk = desk(finder({"~/Projects"})),
                .preset = action("Notes", "txt", "/etc/hosts"),
                .statuses = {"status.creatingFile", "status.fileCreated|fileName=NewFile.txt"},
                .files = {"Projects/NewFile.txt"}},
        RunCase{.name = "WithoutAppOrCreateThePresetSendsWhateverItsModeSays",
                .desk = desk(notes(false)),
                .preset =
                    [] {
                        PresetData preset = aiPreset({"chatgpt-app"});
                        preset.mode = "activate-app";
                        return preset;
                    }(),
                .statuses = {"status.sending", "status.sent"},
                .story = {"cmd+c->copy", "activate codex", "search --app codex", "cmd+v->paste",
                          "return->send"},
                .sleeps = {200ms, 300ms, 300ms, 300ms},
                .sent = {"codex: world"}}),
    runName);

// Opening a file wins over sending; a path the workspace refuses (a leading "~" is not
// expanded) is reported by the action, nothing is thrown.
class ActionsTest : public SimExecutionFixture {};

TEST_F(ActionsTest, AFileIsOpenedWithItsApplicationAndARefusedPathIsReported) {
    load(desk(notes(false), {{"files", {{"~/notes.txt", "hi"}}}}));
    PresetData preset = action("");

    preset.filePath = (sim_->homeDirectory() / "notes.txt").string();
    EXPECT_EQ(run(preset), std::nullopt);
    EXPECT_EQ(story(), Strings{"fileOpened editor notes.txt"});
    EXPECT_THAT(statuses(), ElementsAre(ok("status.openingFile"), ok("status.fileOpened")));

    markStart();
    preset.filePath = "~/notes.txt";
    Status refused = error("status.fileOpenFailed", {{"result", "Cannot open file"}});
    EXPECT_EQ(run(preset), refused.message);
    EXPECT_EQ(story(), Strings{"openRefused notes.txt"});
    EXPECT_THAT(statuses(), ElementsAre(ok("status.openingFile"), refused));
    EXPECT_EQ(executor_->lastError(), std::nullopt);
}

}  // namespace
}  // namespace orvex::execution_test

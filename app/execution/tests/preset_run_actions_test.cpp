// Whole presets of the three simple kinds: activate an application, open a file, create a
// new file in the file manager's folder; and how the executor picks among them.

#include <filesystem>

#include "app/execution/tests/sim_execution_fixture.h"

namespace orvex::execution_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kNotes = "com.example.notes";

class ActionsTest : public SimExecutionFixture {
  protected:
    static PresetData activatePreset(const std::string& appName) {
        PresetData preset = aiPreset({"chatgpt-app"});
        preset.appName = appName;
        return preset;
    }
    static PresetData openPreset(const std::string& path) {
        PresetData preset = aiPreset({"chatgpt-app"});
        preset.filePath = path;
        return preset;
    }
    static PresetData createPreset(const std::string& extension) {
        PresetData preset = aiPreset({"chatgpt-app"});
        preset.createFile = true;
        preset.fileExt = extension;
        return preset;
    }
    static Json notes(bool running, std::vector<bool> minimized) {
        Json app = {{"bundleId", kNotes}, {"name", "Notes"}, {"kind", "editor"}};
        app["running"] = running;
        if (running && !minimized.empty()) {
            Json windows = Json::array();
            for (std::size_t i = 0; i < minimized.size(); ++i) {
                windows.push_back({{"title", "note " + std::to_string(i + 1)},
                                   {"minimized", static_cast<bool>(minimized[i])}});
            }
            app["windows"] = windows;
        }
        return app;
    }
    static Json finder(const std::vector<std::string>& folders) {
        Json app = {{"bundleId", kFinder},
                    {"name", "Finder"},
                    {"kind", "fileManager"},
                    {"running", true},
                    {"path", "/System/Library/CoreServices/Finder.app"}};
        if (!folders.empty()) {
            Json windows = Json::array();
            for (const std::string& folder : folders) {
                windows.push_back({{"folder", folder}});
            }
            app["windows"] = windows;
        }
        return app;
    }
    std::filesystem::path home() const { return sim_->homeDirectory(); }
    Status brought(const char* name) { return ok("status.broughtToFront", {{"appName", name}}); }
    Status bringing(const char* name) { return ok("status.bringToFront", {{"appName", name}}); }
    std::vector<bool> minimizedFlags(const std::string& app) const {
        std::vector<bool> flags;
        for (const SimWindowInfo& window : sim_->windows(app)) {
            flags.push_back(window.minimized);
        }
        return flags;
    }
};

// ---- Activate an application ---------------------------------------------------------------

struct ActivateCase {
    bool running;
    std::vector<bool> minimized;
    std::string name;
    std::size_t launches, reopens, restores, windows;
};

class ActivateTest : public ActionsTest, public ::testing::WithParamInterface<ActivateCase> {};

// A running application with a visible window is only activated; with every window
// minimized its first window comes back; without windows it is reopened; not running, it is
// launched by name or bundle identifier.
TEST_P(ActivateTest, AnApplicationIsBroughtForwardTheWayItsStateNeeds) {
    const ActivateCase& c = GetParam();
    load(scenario({editor("x", 0, 0), notes(c.running, c.minimized)}, kEditor));
    const auto before = sim_->windows(kNotes);

    EXPECT_EQ(run(activatePreset(c.name)), std::nullopt);

    EXPECT_EQ(events("launch").size(), c.launches);
    EXPECT_EQ(events("reopen").size(), c.reopens);
    EXPECT_EQ(events("windowRestored").size(), c.restores);
    const auto after = sim_->windows(kNotes);
    ASSERT_EQ(after.size(), c.windows);
    if (c.restores == 1) {
        EXPECT_FALSE(after.front().minimized);
        EXPECT_EQ(after.front().id, before.front().id);
        EXPECT_TRUE(after[1].minimized && after[2].minimized);
    }
    std::vector<Json> activations = events("activate");
    ASSERT_FALSE(activations.empty());
    EXPECT_EQ(activations.back().at("app"), kNotes);
    EXPECT_THAT(statuses(), ElementsAre(bringing(c.name.c_str()), brought(c.name.c_str())));
}

INSTANTIATE_TEST_SUITE_P(States, ActivateTest,
                         ::testing::Values(ActivateCase{true, {true, false}, "Notes", 0, 0, 0, 2},
                                           ActivateCase{
                                               true, {true, true, true}, "Notes", 0, 0, 1, 3},
                                           ActivateCase{true, {}, "Notes", 0, 1, 0, 1},
                                           ActivateCase{false, {}, "Notes", 1, 0, 0, 1},
                                           ActivateCase{false, {}, kNotes, 1, 0, 0, 1}));

TEST_F(ActionsTest, AnUnknownApplicationCannotBeLaunchedAndNothingIsThrown) {
    load(scenario({editor("x", 0, 0)}, kEditor));

    EXPECT_EQ(run(activatePreset("No Such App")),
              text("status.cannotLaunch", {{"appName", "No Such App"}}));

    EXPECT_THAT(statuses(),
                ElementsAre(bringing("No Such App"),
                            error("status.cannotLaunch", {{"appName", "No Such App"}})));
}

TEST_F(ActionsTest, AFailedLaunchIsReportedAsCannotLaunchWhateverItSaid) {
    Json broken = notes(false, {});
    broken["launchError"] = "The application is damaged";
    load(scenario({editor("x", 0, 0), broken}, kEditor));

    EXPECT_EQ(run(activatePreset("Notes")), text("status.cannotLaunch", {{"appName", "Notes"}}));
}

TEST_F(ActionsTest, FinderWithAWindowIsActivatedByScript) {
    load(scenario({editor("x", 0, 0), finder({"~/Projects"})}, kEditor));

    EXPECT_EQ(run(activatePreset("Finder")), std::nullopt);

    std::vector<Json> activations = events("activate");
    ASSERT_EQ(activations.size(), 1u);
    EXPECT_EQ(activations[0].at("app"), kFinder);
    EXPECT_THAT(keystrokes(), IsEmpty());
    EXPECT_THAT(events("folderShown"), IsEmpty());
    EXPECT_EQ(lastStatus(), brought("Finder"));
}

TEST_F(ActionsTest, FinderWithoutAWindowOpensTheFolderItsPreferenceNames) {
    load(scenario({editor("x", 0, 0), finder({})}, kEditor,
                  {{"defaults", {{kFinder, {{"NewWindowTarget", "PfDo"}}}}},
                   {"files", {{"~/Documents/readme.txt", "hello"}}}}));

    EXPECT_EQ(run(activatePreset("Finder")), std::nullopt);

    std::vector<Json> shown = events("folderShown");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(std::filesystem::path(shown[0].at("folder").get<std::string>()),
              home() / "Documents");
    EXPECT_THAT(keystrokes(), IsEmpty());
    EXPECT_EQ(lastStatus(), brought("Finder"));
}

TEST_F(ActionsTest, FinderWithoutAWindowOrPreferenceGetsCommandN) {
    load(scenario({editor("x", 0, 0), finder({})}, kEditor));

    EXPECT_EQ(run(activatePreset("Finder")), std::nullopt);

    EXPECT_THAT(keystrokes(), ElementsAre("cmd+n->newWindow"));
    EXPECT_EQ(sim_->windows(kFinder).size(), 1u);
    EXPECT_THAT(sleeps(), ElementsAre(300ms));
    EXPECT_EQ(lastStatus(), brought("Finder"));
}

// ---- Open a file ---------------------------------------------------------------------------

TEST_F(ActionsTest, AFileIsOpenedWithItsApplication) {
    load(scenario({editor("x", 0, 0)}, kEditor, {{"files", {{"~/notes.txt", "hi"}}}}));

    EXPECT_EQ(run(openPreset((home() / "notes.txt").string())), std::nullopt);

    EXPECT_EQ(events("fileOpened").size(), 1u);
    EXPECT_THAT(statuses(), ElementsAre(ok("status.openingFile"), ok("status.fileOpened")));
}

TEST_F(ActionsTest, APathTheWorkspaceRefusesIsReportedWithoutThrowing) {
    load(scenario({editor("x", 0, 0)}, kEditor, {{"files", {{"~/notes.txt", "hi"}}}}));

    // A leading "~" is not expanded.
    EXPECT_EQ(run(openPreset("~/notes.txt")),
              text("status.fileOpenFailed", {{"result", "Cannot open file"}}));

    EXPECT_EQ(events("openRefused").size(), 1u);
    EXPECT_THAT(statuses(),
                ElementsAre(ok("status.openingFile"),
                            error("status.fileOpenFailed", {{"result", "Cannot open file"}})));
}

// ---- Create a file -------------------------------------------------------------------------

TEST_F(ActionsTest, ANewFileIsNumberedPastTheTakenNames) {
    load(scenario(
        {editor("x", 0, 0), finder({"~/Projects"})}, kEditor,
        {{"files", {{"~/Projects/NewFile.txt", "one"}, {"~/Projects/NewFile3.txt", ""}}}}));

    // The first free number, written right after the name: 2 follows the unnumbered name.
    EXPECT_EQ(run(createPreset("")), std::nullopt);

    EXPECT_TRUE(std::filesystem::is_regular_file(home() / "Projects" / "NewFile2.txt"));
    EXPECT_EQ(std::filesystem::file_size(home() / "Projects" / "NewFile.txt"), 3u);
    EXPECT_THAT(statuses(), ElementsAre(ok("status.creatingFile"),
                                        ok("status.fileCreated", {{"fileName", "NewFile2.txt"}})));
}

TEST_F(ActionsTest, WithoutAFinderWindowTheNewFileGoesToTheDesktop) {
    load(scenario({editor("x", 0, 0), finder({})}, kEditor,
                  {{"files", {{"~/Desktop/todo.txt", ""}}}}));

    EXPECT_EQ(run(createPreset("md")), std::nullopt);

    EXPECT_TRUE(std::filesystem::is_regular_file(home() / "Desktop" / "NewFile.md"));
    EXPECT_EQ(lastStatus(), ok("status.fileCreated", {{"fileName", "NewFile.md"}}));
}

TEST_F(ActionsTest, AFolderThatCannotTakeTheFileIsReported) {
    // No Finder window and no Desktop folder.
    load(scenario({editor("x", 0, 0), finder({})}, kEditor));

    EXPECT_EQ(run(createPreset("txt")), text("status.fileCreateFailed"));
}

TEST_F(ActionsTest, AFinderScriptFailureIsReportedWithItsMessage) {
    // No file manager at all: the script cannot address it.
    load(scenario({editor("x", 0, 0)}, kEditor));

    EXPECT_NE(run(createPreset("txt")), std::nullopt);

    Status last = lastStatus();
    EXPECT_TRUE(last.isError);
    std::string prefix = text("status.finderError", {{"msg", ""}});
    EXPECT_EQ(last.message.rfind(prefix, 0), 0u) << last.message;
    EXPECT_NE(last.message.find("Finder"), std::string::npos) << last.message;
}

// ---- Choosing the action ---------------------------------------------------------------------

TEST_F(ActionsTest, CreateFileWinsOverAnApplicationName) {
    load(scenario({editor("x", 0, 0), notes(false, {}), finder({"~/Projects"})}, kEditor));
    PresetData preset = createPreset("txt");
    preset.appName = "Notes";
    preset.filePath = "/etc/hosts";

    EXPECT_EQ(run(preset), std::nullopt);

    EXPECT_TRUE(std::filesystem::exists(home() / "Projects" / "NewFile.txt"));
    EXPECT_THAT(events("launch"), IsEmpty());
    EXPECT_THAT(events("fileOpened"), IsEmpty());
}

TEST_F(ActionsTest, WithoutAppFileOrCreateThePresetSendsWhateverItsModeSays) {
    load(scenario({editor("Hello world", 6, 5), chatApp(kChatGPT, "ChatGPT", true)}, kEditor));
    PresetData preset = aiPreset({"chatgpt-app"});
    preset.mode = "activate-app";

    EXPECT_EQ(run(preset), std::nullopt);

    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, "world");
}

}  // namespace
}  // namespace orvex::execution_test

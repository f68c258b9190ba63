// Every action of the command table through the real programs, with no desktop session.

#include <gtest/gtest.h>

#include "app/ui/e2e/e2e_support.h"

namespace orvex::e2e {
namespace {

class ActionsEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(orvex.started()) << orvex.output() << orvex.log(); }
    void TearDown() override { EXPECT_EQ(orvex.stop(), 0) << orvex.log(); }

    CliResult cli(const std::vector<std::string>& arguments) { return runCli(sandbox, arguments); }

    // Asserts a failure answer with exactly this error text and exit status 1.
    void expectFailure(const std::vector<std::string>& arguments, const std::string& error) {
        CliResult result = cli(arguments);
        EXPECT_EQ(result.status, 1) << arguments[0] << ": " << result.output << result.errors;
        EXPECT_FALSE(result.success()) << result.output;
        EXPECT_EQ(result.error(), error) << result.output;
        EXPECT_FALSE(result.json.contains("data")) << result.output;
    }
    // Asserts a success answer with this message and exit status 0; returns the answer.
    CliResult expectMessage(const std::vector<std::string>& arguments, const std::string& message) {
        CliResult result = cli(arguments);
        EXPECT_EQ(result.status, 0) << arguments[0] << ": " << result.output << result.errors;
        EXPECT_TRUE(result.success()) << result.output;
        EXPECT_EQ(result.message(), message) << result.output;
        return result;
    }

    Sandbox sandbox;
    Orvex orvex{sandbox};
};

// Each refusal answers its exact error and no data, and changes nothing.
TEST_F(ActionsEndToEnd, RefusedCommandsAnswerWithTheirError) {
    const Json listBefore = cli({"preset.list"}).json["data"];
    const std::string fileBefore = readText(sandbox.settingsFile());
    const struct {
        std::vector<std::string> arguments;
        const char* error;
    } cases[] = {
        {{"preset.get"}, "Missing param: id"},
        {{"preset.get", "--id", "nope"}, "Preset not found: nope"},
        {{"preset.get", "--id", ""}, "Preset not found: "},
        {{"preset.update", "--label", "x"}, "Missing param: id"},
        {{"preset.update", "--id", "nope", "--label", "x"}, "Preset not found: nope"},
        {{"preset.execute"}, "Missing param: id"},
        {{"preset.execute", "--id", "nope"}, "Preset not found: nope"},
        // No desktop session: the run fails, and the answer says so instead of claiming success.
        {{"preset.execute", "--id", "1"}, "Executed with error: No desktop session is available"},
        {{"preset.delete"}, "Missing param: id"},
        {{"folder.rename", "--id", "x"}, "Missing params: id, name"},
        {{"folder.rename", "--name", "x"}, "Missing params: id, name"},
        {{"folder.rename", "--id", "nope", "--name", "X"}, "Folder not found: nope"},
        {{"folder.rename", "--id", "1", "--name", "X"}, "Folder not found: 1"},
        {{"folder.delete"}, "Missing param: id"},
        {{"settings.export"}, "Missing param: path"},
        {{"settings.import"}, "Missing param: path"},
        {{"view.settings.edit"}, "Missing param: id"},
        {{"view.settings.edit", "--id", "nope"}, "Preset not found: nope"},
        {{"Preset.List"}, "Unknown action: Preset.List"},
    };
    for (const auto& c : cases) {
        expectFailure(c.arguments, c.error);
    }
    for (const char* action : {"debug.ax-read", "debug.ax-select-all", "debug.cgevent-copy",
                               "debug.activate-app", "debug.pick-input"}) {
        expectFailure({action}, "No desktop session is available");
    }
    const auto missing = sandbox.root() / "missing";
    for (const auto& [action, error] : {std::pair{"settings.export", "Export failed: "},
                                        {"settings.import", "Import failed: "}}) {
        CliResult result = cli({action, "--path", (missing / "x.json").string()});
        EXPECT_EQ(result.status, 1);
        EXPECT_TRUE(result.error().starts_with(error)) << result.output;
    }
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_EQ(cli({"preset.list"}).json["data"], listBefore);
    EXPECT_EQ(readText(sandbox.settingsFile()), fileBefore);
    EXPECT_TRUE(waitUntil([&] {
        return orvex.output().find("orvex: status (error): No desktop session is available\n") !=
               std::string::npos;
    })) << orvex.output();
}

TEST_F(ActionsEndToEnd, PresetActions) {
    const std::string firstId = cli({"preset.list"}).json["data"]["presets"][0]["id"];
    EXPECT_EQ(cli({"preset.get", "--id", firstId}).json["data"]["preset"]["id"], firstId);

    // Every field as given, unchecked; only "true" is true; the type, id and mode cannot be
    // set, and keys are case-sensitive.
    // clang-format off
    const Strings create{"preset.create", "--label", " Work ", "--shortcut", "not a shortcut",
        "--destination", "no-such-app", "--destinations", "chatgpt-app,,claude-app",
        "--multiDestMode", "whatever", "--fixedPrompt", "Summarize:", "--useCapture", "TRUE",
        "--cutText", "true", "--autoSend", "false", "--filePath", "~/x.txt", "--appName", "Mail",
        "--createFile", "true", "--fileExt", "md", "--folderId", "f9", "--type", "folder", "--id",
        "other", "--mode", "clipboard", "--Label", "ignored"};
    // clang-format on
    CliResult created = expectMessage(create, "Created");
    Json detail = created.json["data"]["preset"];
    const std::string newId = detail["id"];
    EXPECT_NE(newId, "other");
    EXPECT_EQ(detail, Json::parse(R"({"actionType": "create-file", "appName": "Mail",
        "autoSend": false, "createFile": true, "cutText": true, "destination": "no-such-app",
        "destinations": ["chatgpt-app", "claude-app"], "fileExt": "md", "filePath": "~/x.txt",
        "fixedPrompt": "Summarize:", "folderId": "f9", "id": ")" +
                                  newId + R"(",
        "label": " Work ", "multiDestMode": "whatever", "shortcut": "not a shortcut",
        "useCapture": false})"));
    EXPECT_EQ(cli({"preset.list"}).json["data"]["presets"][0]["id"], newId);
    EXPECT_NE(readText(sandbox.settingsFile()).find(newId), std::string::npos);

    // Absent fields stay; a label of spaces and tabs becomes the new-preset label, a line
    // break does not; an empty list reads back as the single destination; an empty folder
    // id is kept.
    CliResult updated = expectMessage(
        {"preset.update", "--id", newId, "--label", " \t", "--destinations", "", "--folderId", ""},
        "Updated");
    detail["label"] = "New Preset";
    detail["destinations"] = Json::array({"no-such-app"});
    detail["folderId"] = "";
    EXPECT_EQ(updated.json["data"]["preset"], detail);
    EXPECT_EQ(
        cli({"preset.update", "--id", newId, "--label", "\n"}).json["data"]["preset"]["label"],
        "\n");

    expectMessage({"preset.delete", "--id", newId}, "Deleted");
    expectMessage({"preset.delete", "--id", "never-was"}, "Deleted");
    expectFailure({"preset.get", "--id", newId}, "Preset not found: " + newId);
    EXPECT_EQ(readText(sandbox.settingsFile()).find(newId), std::string::npos);
    EXPECT_NE(readText(sandbox.settingsFile()).find(firstId), std::string::npos);
}

TEST_F(ActionsEndToEnd, FolderActions) {
    expectMessage({"folder.create"}, "Folder created: New Folder");
    expectMessage({"folder.create", "--name", ""}, "Folder created: ");
    CliResult list = cli({"preset.list"});
    const Json& folders = list.json["data"]["folders"];
    ASSERT_EQ(folders.size(), 2u) << list.output;
    EXPECT_EQ(folders[0]["label"], "");  // the newest first
    EXPECT_EQ(folders[0]["open"], true);
    const std::string folderId = folders[1]["id"];
    expectMessage({"folder.delete", "--id", folders[0]["id"]}, "Folder deleted");

    // A folder's id names no preset.
    for (const char* action :
         {"preset.get", "preset.update", "preset.execute", "view.settings.edit"}) {
        expectFailure({action, "--id", folderId}, "Preset not found: " + folderId);
    }
    const std::string presetId = list.json["data"]["presets"][0]["id"];
    expectMessage({"folder.rename", "--id", folderId, "--name", " Home "}, "Renamed to:  Home ");
    expectMessage({"preset.update", "--id", presetId, "--folderId", folderId}, "Updated");
    list = cli({"preset.list"});
    EXPECT_EQ(list.json["data"]["folders"][0]["presetCount"], 1);
    EXPECT_EQ(list.json["data"]["folders"][0]["label"], " Home ");
    EXPECT_EQ(list.json["data"]["presets"][0]["folderId"], folderId);
    // Folders are counted apart from presets.
    const Json status = cli({"app.status"}).json["data"]["status"];
    EXPECT_EQ(status["folderCount"], 1);
    EXPECT_EQ(status["presetCount"], list.json["data"]["presets"].size());

    // Deleting the folder through preset.delete leaves its presets naming it; folder.delete
    // moves them to the top level, where they were.
    expectMessage({"preset.delete", "--id", folderId}, "Deleted");
    EXPECT_EQ(cli({"preset.list"}).json["data"]["presets"][0]["folderId"], folderId);
    expectMessage({"folder.delete", "--id", folderId}, "Folder deleted");
    list = cli({"preset.list"});
    EXPECT_EQ(list.json["data"]["folders"], Json::array());
    EXPECT_EQ(list.json["data"]["presets"][0]["id"], presetId);
    EXPECT_FALSE(list.json["data"]["presets"][0].contains("folderId")) << list.output;

    expectMessage({"folder.organize"}, "Organized");
    EXPECT_FALSE(cli({"preset.list"}).json["data"]["folders"].empty());
    expectMessage({"folder.ungroup"}, "Ungrouped");
    list = cli({"preset.list"});
    EXPECT_TRUE(list.json["data"]["folders"].empty());
    for (const Json& preset : list.json["data"]["presets"]) {
        EXPECT_FALSE(preset.contains("folderId")) << list.output;
    }
}

TEST_F(ActionsEndToEnd, SettingsActions) {
    const auto exported = sandbox.root() / "exported.json";
    expectMessage({"settings.export", "--path", exported.string()},
                  "Exported to: " + exported.string());
    EXPECT_NE(readText(exported).find("\"presets\""), std::string::npos);

    expectMessage({"folder.create", "--name", "Temp"}, "Folder created: Temp");
    expectMessage({"settings.import", "--path", exported.string()},
                  "Imported from: " + exported.string());
    EXPECT_TRUE(cli({"preset.list"}).json["data"]["folders"].empty());

    expectMessage({"preset.create", "--label", "Extra"}, "Created");
    expectMessage({"settings.reset"}, "Reset to defaults");
    // Kept in a variable: a range-for over a member of the temporary answer would outlive it.
    CliResult afterReset = cli({"preset.list"});
    for (const Json& preset : afterReset.json["data"]["presets"]) {
        EXPECT_NE(preset["label"], "Extra");
    }

    // The language is stored and applied at once; the texts already stored stay as they were.
    expectMessage({"folder.organize"}, "Organized");
    CliResult set = expectMessage({"settings.language", "--set", "ja"}, "Language set to: ja");
    EXPECT_EQ(set.json["data"]["language"], "ja");
    CliResult get = cli({"settings.language"});
    EXPECT_EQ(get.json["data"]["language"], "ja") << get.output;
    EXPECT_FALSE(get.json["data"].contains("message"));
    EXPECT_EQ(cli({"app.status"}).json["data"]["status"]["language"], "ja");
    EXPECT_EQ(parseJson(readText(sandbox.settingsFile())).value->at("language"), "ja");
    EXPECT_EQ(cli({"preset.list"}).json["data"]["folders"][0]["label"], "No Shortcut");
    expectMessage({"folder.organize"}, "Organized");
    EXPECT_EQ(cli({"preset.list"}).json["data"]["folders"][0]["label"], "ショートカットなし");
    EXPECT_EQ(cli({"preset.create"}).json["data"]["preset"]["label"], "新しいプリセット");

    // An import stores no language and leaves the one in use; it keeps a closed folder closed
    // through a rename.
    const auto closed = sandbox.root() / "closed.json";
    testing::writeText(closed, R"({"presets": [{"type": "folder", "id": "F", "label": "Shut",
        "open": false}, {"id": "z", "label": "Zed", "folderId": "F"}]})");
    expectMessage({"settings.import", "--path", closed.string()},
                  "Imported from: " + closed.string());
    EXPECT_EQ(cli({"settings.language"}).json["data"]["language"], "ja");
    EXPECT_FALSE(parseJson(readText(sandbox.settingsFile())).value->contains("language"));
    expectMessage({"folder.rename", "--id", "F", "--name", "Open?"}, "Renamed to: Open?");
    EXPECT_EQ(cli({"preset.list"}).json["data"]["folders"][0]["open"], false);

    // An unsupported code is stored, and every text falls back to its key.
    expectMessage({"settings.language", "--set", "xx"}, "Language set to: xx");
    EXPECT_EQ(cli({"settings.language"}).json["data"]["language"], "xx");
    EXPECT_EQ(cli({"preset.create"}).json["data"]["preset"]["label"], "settings.newPreset");
}

// "auto" is answered as given but stored as the language the system prefers.
TEST(LanguageEndToEnd, AutoIsStoredAsTheDetectedLanguage) {
    Sandbox sandbox;
    Orvex orvex(sandbox, {}, {"LANG=ja_JP.UTF-8"});
    ASSERT_TRUE(orvex.started()) << orvex.log();
    CliResult set = runCli(sandbox, {"settings.language", "--set", "auto"});
    EXPECT_EQ(set.message(), "Language set to: auto");
    EXPECT_EQ(set.json["data"]["language"], "auto");
    EXPECT_EQ(runCli(sandbox, {"settings.language"}).json["data"]["language"], "ja");
    EXPECT_EQ(parseJson(readText(sandbox.settingsFile())).value->at("language"), "ja");
    EXPECT_EQ(orvex.stop(), 0);
}

TEST_F(ActionsEndToEnd, WindowViewStatusAndHelpActions) {
    const std::size_t presets = cli({"preset.list"}).json["data"]["presets"].size();
    EXPECT_EQ(cli({"app.status"}).json["data"],
              Json::parse(R"({"status": {"running": true, "language": "en", "folderCount": 0,
                  "alwaysOnTop": false, "presetCount": )" +
                          std::to_string(presets) + "}}"));

    // The pin's answer is made after the change it reports.
    const std::pair<const char*, const char*> cases[] = {
        {"window.show", "Window shown"},
        {"window.hide", "Window hidden"},
        {"window.toggle-pin", "Always on top: true"},
        {"view.settings", "Settings opened"},
        {"view.main", "Main view opened"},
        {"help.show", "Help opened"},
    };
    for (const auto& [action, message] : cases) {
        expectMessage({action}, message);
    }
    EXPECT_EQ(cli({"app.status"}).json["data"]["status"]["alwaysOnTop"], true);
    expectMessage({"window.toggle-pin"}, "Always on top: false");

    const Json first = cli({"preset.list"}).json["data"]["presets"][0];
    expectMessage({"view.settings.edit", "--id", first["id"].get<std::string>()},
                  "Editing: " + first["label"].get<std::string>());
}

// What only the program itself shows: usage through argv with its exit status, and a
// command directory it cannot write to, with no Orvex needed for either.
TEST(CliEndToEnd, UsageAndAnUnwritableCommandDirectory) {
    // Written out by hand, not generated, so that a slip in the column arithmetic shows.
    const std::string usage =
        "orvex-cli - Orvex command-line interface\n"
        "\n"
        "Usage: orvex-cli <action> [--key value ...]\n"
        "       orvex-cli --help | --version\n"
        "\n"
        "Preset Commands:\n"
        "  preset.list                          List all presets\n"
        "  preset.get --id ID                   Get preset details\n"
        "  preset.create --label NAME [opts]    Create a new preset\n"
        "  preset.update --id ID [--field val]  Update a preset\n"
        "  preset.delete --id ID                Delete a preset\n"
        "  preset.execute --id ID               Execute a preset\n"
        "\n"
        "Folder Commands:\n"
        "  folder.create --name NAME            Create a folder\n"
        "  folder.rename --id ID --name NAME    Rename a folder\n"
        "  folder.delete --id ID                Delete a folder\n"
        "  folder.organize                      Auto-organize by action type\n"
        "  folder.ungroup                       Remove all folders\n"
        "\n"
        "Settings Commands:\n"
        "  settings.export --path PATH          Export settings to file\n"
        "  settings.import --path PATH          Import settings from file\n"
        "  settings.reset                       Reset to defaults\n"
        "  settings.language                    Show current language\n"
        "  settings.language --set ja|en        Set language\n"
        "\n"
        "Window Commands:\n"
        "  window.show                          Show main window\n"
        "  window.hide                          Hide main window\n"
        "  window.toggle-pin                    Toggle always-on-top\n"
        "\n"
        "View Commands:\n"
        "  view.settings                        Open settings screen\n"
        "  view.settings.edit --id ID           Open preset edit screen\n"
        "  view.main                            Back to main screen\n"
        "\n"
        "Other Commands:\n"
        "  app.status                           Show app status\n"
        "  help.show                            Open help window\n"
        "\n"
        "Debug Commands:\n"
        "  debug.pick-input [--bundleId ID] [--hint TEXT]\n"
        "                                       Show which input box a send would target\n"
        "                                       (lists candidates; pastes nothing)\n";
    Sandbox sandbox;
    const std::pair<std::vector<std::string>, int> cases[] = {
        {{}, 1}, {{"-h"}, 0}, {{"--help"}, 0}};
    for (const auto& [arguments, status] : cases) {
        CliResult result = runCli(sandbox, arguments);
        EXPECT_EQ(result.status, status);
        EXPECT_EQ(result.output, usage);
        EXPECT_EQ(result.errors, "");
    }
    EXPECT_FALSE(std::filesystem::exists(sandbox.commands()));

    std::filesystem::create_directories(sandbox.orvexDirectory());
    testing::writeText(sandbox.commands(), "not a directory");
    CliResult blocked = runCli(sandbox, {"preset.list"});
    EXPECT_EQ(blocked.status, 1);
    EXPECT_TRUE(blocked.errors.starts_with("Error: Cannot write command file: Cannot create " +
                                           sandbox.commands().string()))
        << blocked.errors;
    EXPECT_EQ(blocked.output, "");
}

}  // namespace
}  // namespace orvex::e2e

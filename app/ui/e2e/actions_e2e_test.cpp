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

TEST_F(ActionsEndToEnd, PresetActions) {
    CliResult list = cli({"preset.list"});
    ASSERT_EQ(list.status, 0) << list.output;
    const Json& presets = list.json["data"]["presets"];
    ASSERT_FALSE(presets.empty());
    EXPECT_TRUE(list.json["data"]["folders"].is_array());
    const std::string firstId = presets[0]["id"];

    expectFailure({"preset.get"}, "Missing param: id");
    expectFailure({"preset.get", "--id", "nope"}, "Preset not found: nope");
    expectFailure({"preset.get", "--id", ""}, "Preset not found: ");
    CliResult got = cli({"preset.get", "--id", firstId});
    EXPECT_EQ(got.json["data"]["preset"]["id"], firstId) << got.output;

    CliResult created = expectMessage({"preset.create", "--label", " Work ", "--destinations",
                                       "chatgpt-app,,claude-app", "--useCapture", "TRUE"},
                                      "Created");
    const Json& detail = created.json["data"]["preset"];
    const std::string newId = detail["id"];
    EXPECT_EQ(detail["label"], " Work ");
    EXPECT_EQ(detail["destinations"], Json::array({"chatgpt-app", "claude-app"}));
    EXPECT_EQ(detail["useCapture"], false);
    EXPECT_EQ(cli({"preset.list"}).json["data"]["presets"][0]["id"], newId);

    expectFailure({"preset.update", "--label", "x"}, "Missing param: id");
    expectFailure({"preset.update", "--id", "nope"}, "Preset not found: nope");
    CliResult updated =
        expectMessage({"preset.update", "--id", newId, "--autoSend", "false"}, "Updated");
    EXPECT_EQ(updated.json["data"]["preset"]["autoSend"], false);
    EXPECT_EQ(updated.json["data"]["preset"]["label"], " Work ");

    expectFailure({"preset.execute"}, "Missing param: id");
    expectFailure({"preset.execute", "--id", "nope"}, "Preset not found: nope");
    // No desktop session: the run fails, and the answer says so instead of claiming success.
    expectFailure({"preset.execute", "--id", newId},
                  "Executed with error: No desktop session is available");

    expectFailure({"preset.delete"}, "Missing param: id");
    expectMessage({"preset.delete", "--id", newId}, "Deleted");
    expectMessage({"preset.delete", "--id", "never-was"}, "Deleted");
    expectFailure({"preset.get", "--id", newId}, "Preset not found: " + newId);

    // The changes reached the settings file.
    EXPECT_EQ(readText(sandbox.settingsFile()).find(newId), std::string::npos);
    EXPECT_NE(readText(sandbox.settingsFile()).find(firstId), std::string::npos);

    expectFailure({"Preset.List"}, "Unknown action: Preset.List");
}

TEST_F(ActionsEndToEnd, FolderActions) {
    expectMessage({"folder.create", "--name", "Work"}, "Folder created: Work");
    CliResult list = cli({"preset.list"});
    const Json& folders = list.json["data"]["folders"];
    ASSERT_EQ(folders.size(), 1u) << list.output;
    const std::string folderId = folders[0]["id"];
    EXPECT_EQ(folders[0]["open"], true);

    expectFailure({"folder.rename", "--id", folderId}, "Missing params: id, name");
    expectFailure({"folder.rename", "--id", "nope", "--name", "X"}, "Folder not found: nope");
    const std::string presetId = list.json["data"]["presets"][0]["id"];
    expectFailure({"folder.rename", "--id", presetId, "--name", "X"},
                  "Folder not found: " + presetId);
    expectMessage({"folder.rename", "--id", folderId, "--name", "Home"}, "Renamed to: Home");
    expectMessage({"preset.update", "--id", presetId, "--folderId", folderId}, "Updated");
    EXPECT_EQ(cli({"preset.list"}).json["data"]["folders"][0]["presetCount"], 1);

    expectFailure({"folder.delete"}, "Missing param: id");
    expectMessage({"folder.delete", "--id", folderId}, "Folder deleted");
    list = cli({"preset.list"});
    EXPECT_TRUE(list.json["data"]["folders"].empty());
    EXPECT_FALSE(list.json["data"]["presets"][0].contains("folderId")) << list.output;

    expectMessage({"folder.organize"}, "Organized");
    EXPECT_FALSE(cli({"preset.list"}).json["data"]["folders"].empty());
    expectMessage({"folder.ungroup"}, "Ungrouped");
    EXPECT_TRUE(cli({"preset.list"}).json["data"]["folders"].empty());
}

TEST_F(ActionsEndToEnd, SettingsActions) {
    const auto exported = sandbox.root() / "exported.json";
    expectFailure({"settings.export"}, "Missing param: path");
    expectMessage({"settings.export", "--path", exported.string()},
                  "Exported to: " + exported.string());
    EXPECT_NE(readText(exported).find("\"presets\""), std::string::npos);
    CliResult badExport =
        cli({"settings.export", "--path", (sandbox.root() / "missing/dir/x.json").string()});
    EXPECT_EQ(badExport.status, 1);
    EXPECT_EQ(badExport.error().rfind("Export failed: ", 0), 0u) << badExport.output;

    expectMessage({"folder.create", "--name", "Temp"}, "Folder created: Temp");
    expectFailure({"settings.import"}, "Missing param: path");
    expectMessage({"settings.import", "--path", exported.string()},
                  "Imported from: " + exported.string());
    EXPECT_TRUE(cli({"preset.list"}).json["data"]["folders"].empty());
    const auto notJson = sandbox.root() / "not.json";
    writeFileAtomically(notJson, "hello");
    CliResult badImport = cli({"settings.import", "--path", notJson.string()});
    EXPECT_EQ(badImport.status, 1);
    EXPECT_EQ(badImport.error().rfind("Import failed: ", 0), 0u) << badImport.output;

    expectMessage({"preset.create", "--label", "Extra"}, "Created");
    expectMessage({"settings.reset"}, "Reset to defaults");
    CliResult afterReset = cli({"preset.list"});
    for (const Json& preset : afterReset.json["data"]["presets"]) {
        EXPECT_NE(preset["label"], "Extra");
    }

    CliResult set = expectMessage({"settings.language", "--set", "ja"}, "Language set to: ja");
    EXPECT_EQ(set.json["data"]["language"], "ja");
    CliResult get = cli({"settings.language"});
    EXPECT_EQ(get.json["data"]["language"], "ja") << get.output;
    EXPECT_FALSE(get.json["data"].contains("message"));
    EXPECT_EQ(cli({"app.status"}).json["data"]["status"]["language"], "ja");
}

TEST_F(ActionsEndToEnd, WindowViewStatusAndHelpActions) {
    expectMessage({"window.show"}, "Window shown");
    expectMessage({"window.hide"}, "Window hidden");
    expectMessage({"window.toggle-pin"}, "Always on top: true");
    EXPECT_EQ(cli({"app.status"}).json["data"]["status"]["alwaysOnTop"], true);
    expectMessage({"window.toggle-pin"}, "Always on top: false");
    expectMessage({"view.settings"}, "Settings opened");
    expectMessage({"view.main"}, "Main view opened");
    expectMessage({"help.show"}, "Help opened");

    CliResult list = cli({"preset.list"});
    const Json& first = list.json["data"]["presets"][0];
    expectFailure({"view.settings.edit"}, "Missing param: id");
    expectFailure({"view.settings.edit", "--id", "nope"}, "Preset not found: nope");
    expectMessage({"view.settings.edit", "--id", first["id"].get<std::string>()},
                  "Editing: " + first["label"].get<std::string>());

    CliResult status = cli({"app.status"});
    ASSERT_EQ(status.status, 0) << status.output;
    const Json& record = status.json["data"]["status"];
    EXPECT_EQ(record["running"], true);
    EXPECT_EQ(record["language"], "en");
    EXPECT_EQ(record["presetCount"], list.json["data"]["presets"].size());
    EXPECT_EQ(record["folderCount"], 0);
    EXPECT_FALSE(status.json["data"].contains("message"));
}

TEST_F(ActionsEndToEnd, DiagnosticActionsNeedADesktop) {
    for (const char* action : {"debug.ax-read", "debug.ax-select-all", "debug.cgevent-copy",
                               "debug.activate-app", "debug.pick-input"}) {
        CliResult result = cli({action});
        EXPECT_EQ(result.status, 1) << action;
        EXPECT_EQ(result.error(), "No desktop session is available") << result.output;
    }
}

// What only the program itself shows: usage through argv with its exit status, and a
// command directory it cannot write to, with no Orvex needed for either.
TEST(CliEndToEnd, UsageAndAnUnwritableCommandDirectory) {
    Sandbox sandbox;
    CliResult bare = runCli(sandbox, {});
    EXPECT_EQ(bare.status, 1);
    EXPECT_TRUE(bare.output.starts_with("orvex-cli - Orvex command-line interface\n"));
    CliResult help = runCli(sandbox, {"-h"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.output, bare.output);
    EXPECT_FALSE(std::filesystem::exists(sandbox.commands()));

    std::filesystem::create_directories(sandbox.orvexDirectory());
    writeFileAtomically(sandbox.commands(), "not a directory");
    CliResult blocked = runCli(sandbox, {"preset.list"});
    EXPECT_EQ(blocked.status, 1);
    EXPECT_TRUE(blocked.errors.starts_with("Error: Cannot write command file: ")) << blocked.errors;
    EXPECT_EQ(blocked.output, "");
}

}  // namespace
}  // namespace orvex::e2e

// The programs as a shell user meets them: their versions, and orvex-cli's completion with
// and without a running Orvex, through the real bash, zsh and fish scripts.

#include <gtest/gtest.h>

#include <regex>

#include "app/ui/e2e/e2e_support.h"
#include "testing/source_tree.h"

namespace orvex::e2e {
namespace {

std::string projectVersion() {
    const std::string top = readText(testing::sourceDir() / "CMakeLists.txt");
    std::smatch match;
    return std::regex_search(top, match, std::regex(R"(project\(Orvex VERSION ([0-9.]+))"))
               ? match[1].str()
               : "";
}

TEST(ProgramEndToEnd, EachProgramPrintsTheProjectsVersion) {
    Sandbox sandbox;
    const std::string version = projectVersion();
    ASSERT_FALSE(version.empty());
    for (const std::string program : {"orvex", "orvex-cli", "inputaim"}) {
        // inputaim is built with the Linux desktop backend only.
        if (program == "inputaim" && !std::filesystem::exists(testing::builtProgram(program))) {
            const char* required = std::getenv("ORVEX_REQUIRE_DESKTOP_TOOLS");
            EXPECT_FALSE(required && std::string_view(required) == "1") << "inputaim not built";
            continue;
        }
        testing::ChildResult run = sandbox.run(program, {"--version"});
        EXPECT_EQ(run.exitCode, 0) << program << run.err;
        EXPECT_EQ(run.out, program + " " + version + "\n");
    }
}

struct Completion {
    int status = -1;
    std::string out;
};

Completion complete(const Sandbox& sandbox, Strings words) {
    words.insert(words.begin(), "--complete");
    testing::ChildResult run = sandbox.run("orvex-cli", words);
    return {run.exitCode, run.out};
}

// Bash, zsh and fish all read these lines, so the shells' own checks below stay few.
TEST(CompletionEndToEnd, ActionsKeysAndValuesWithoutARunningOrvex) {
    Sandbox sandbox;
    const struct {
        Strings words;
        int status;
        std::string out;
    } cases[] = {
        {{"folder.r"}, 0, "folder.rename\tRename a folder\n"},
        {{"settings.lang"}, 0, "settings.language\tShow current language\n"},
        {{"--v"}, 0, "--version\tShow the version\n"},
        // Keys already given are not offered again; a stray word is skipped as the client
        // skips it.
        {{"folder.rename", "--name", "Work", "stray", ""}, 0, "--id\n"},
        {{"preset.update", "--id", "1", "--fi"}, 0, "--fixedPrompt\n--filePath\n--fileExt\n"},
        {{"preset.execute", "--id", "1", ""}, 0, ""},
        {{"window.show", ""}, 0, ""},
        {{"no.such", "--"}, 0, ""},
        {{"preset.create", "--autoSend", ""}, 0, "true\nfalse\n"},
        {{"preset.create", "--destination", "cl"}, 0, "claude-app\nclaude-web\n"},
        // A value that starts with "--" is still a value.
        {{"settings.language", "--set", "--"}, 0, ""},
        {{"settings.export", "--path", "/tm"}, 3, ""},
        {{"preset.update", "--filePath", ""}, 3, ""},
        // Identifiers need a running Orvex; without one nothing is asked.
        {{"preset.get", "--id", ""}, 0, ""},
        {{"folder.delete", "--id", ""}, 0, ""},
    };
    for (const auto& c : cases) {
        Completion result = complete(sandbox, c.words);
        EXPECT_EQ(result.status, c.status) << c.words[0];
        EXPECT_EQ(result.out, c.out) << c.words[0];
    }
    EXPECT_FALSE(std::filesystem::exists(sandbox.commands()));
}

class CompletionWithOrvex : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(orvex.started()) << orvex.log();
        CliResult created = runCli(sandbox, {"preset.create", "--label", "Ask: briefly"});
        presetId = created.json["data"]["preset"]["id"].get<std::string>();
        ASSERT_EQ(runCli(sandbox, {"folder.create", "--name", "Work"}).status, 0);
        folderId = runCli(sandbox, {"preset.list"}).json["data"]["folders"][0]["id"];
    }
    void TearDown() override { EXPECT_EQ(orvex.stop(), 0) << orvex.log(); }

    // A shell command run with the built programs first on PATH, in the sandbox.
    testing::ChildResult shell(const Strings& command) {
        const char* path = std::getenv("PATH");
        return testing::runChild(
            command,
            {{"HOME", (sandbox.root() / "home").string()},
             {"XDG_CONFIG_HOME", (sandbox.root() / "config").string()},
             {"PATH", (testing::binaryDir() / "bin").string() + ":" + (path ? path : "/bin")}},
            60s);
    }
    static std::string script(const std::string& name) {
        return (testing::sourceDir() / "cli/completion" / name).string();
    }

    Sandbox sandbox;
    Orvex orvex{sandbox};
    std::string presetId;
    std::string folderId;
};

TEST_F(CompletionWithOrvex, IdentifiersComeFromTheRunningOrvex) {
    const std::string presets = complete(sandbox, {"preset.get", "--id", ""}).out;
    EXPECT_NE(presets.find(presetId + "\tAsk: briefly\n"), std::string::npos) << presets;
    EXPECT_EQ(presets.find(folderId), std::string::npos) << presets;
    EXPECT_EQ(complete(sandbox, {"folder.rename", "--id", folderId.substr(0, 8)}).out,
              folderId + "\tWork\n");
    EXPECT_EQ(complete(sandbox, {"preset.update", "--folderId", ""}).out, folderId + "\tWork\n");
    // The answers it asked for are not left behind.
    EXPECT_TRUE(std::filesystem::is_empty(sandbox.commands()));
}

TEST_F(CompletionWithOrvex, TheShellScriptsOfferThePresets) {
    const std::string prefix = presetId.substr(0, 8);
    testing::ChildResult bash =
        shell({"/bin/bash", "-c",
               "source /usr/share/bash-completion/bash_completion && source \"$1\" && "
               "COMP_WORDS=(orvex-cli preset.get --id \"$2\") && COMP_CWORD=3 && "
               "COMP_LINE=\"${COMP_WORDS[*]}\" && COMP_POINT=${#COMP_LINE} && _orvex_cli && "
               "printf '%s\\n' \"${COMPREPLY[@]}\"",
               "bash", script("orvex-cli.bash"), prefix});
    EXPECT_EQ(bash.out, presetId + "\n") << bash.err;

    testing::ChildResult fish =
        shell({"/usr/bin/fish", "-c",
               "source $argv[1]; complete -C \"orvex-cli preset.get --id $argv[2]\"",
               script("orvex-cli.fish"), prefix});
    EXPECT_EQ(fish.out, presetId + "\tAsk: briefly\n") << fish.err;

    // zsh's completion system needs a terminal to run in; its script is checked for syntax.
    testing::ChildResult zsh = shell({"/usr/bin/zsh", "-n", script("_orvex-cli")});
    EXPECT_EQ(zsh.exitCode, 0) << zsh.err;
}

}  // namespace
}  // namespace orvex::e2e

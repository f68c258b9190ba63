// The command directory as the running program sees it: files written before it started,
// broken and hostile files, answers already present, many clients at once; and the
// program's own start and end.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <thread>

#include "app/ui/e2e/e2e_support.h"
#include "protocol/cli_command.h"

namespace orvex::e2e {
namespace {

std::string command(const std::string& id, const std::string& action) {
    return encodeCLICommandText(CLICommand{id, action, {}});
}

std::set<std::string> entries(const std::filesystem::path& directory) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

using std::filesystem::exists;

mode_t permissions(const std::filesystem::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 0777 : 0;
}

// The directory is made here with the usual 0755, so the 0700 below is Orvex's doing.
TEST(CommandFilesEndToEnd, FilesWrittenBeforeStartAreAnsweredAtStart) {
    Sandbox sandbox;
    const auto dir = sandbox.commands();
    std::filesystem::create_directories(dir);
    // Keys it does not know are no reason to refuse a command.
    testing::writeText(dir / "EARLY.command.json",
                       R"({"action": "app.status", "id": "EARLY", "params": {"k": "v"},
                           "extra": [1, 2], "version": 3})");
    ASSERT_EQ(::mkfifo((dir / "pipe.command.json").c_str(), 0600), 0);
    // Look-alikes stay where they are.
    const std::set<std::string> lookAlikes{"notes.json", "C.command.txt", "D.command.json.tmp-1f"};
    for (const std::string& name : lookAlikes) {
        testing::writeText(dir / name, command("C", "folder.create"));
    }

    Orvex orvex(sandbox);
    ASSERT_TRUE(orvex.started()) << orvex.log();
    const auto response = dir / "EARLY.response.json";
    ASSERT_TRUE(waitUntil([&] { return exists(response); })) << orvex.log();
    EXPECT_EQ(parseJson(readText(response)).value->at("data")["status"]["running"], true);
    EXPECT_TRUE(orvex.logContains("[CommandQueue] Processing command: app.status (id: EARLY)"));
    std::set<std::string> left = lookAlikes;
    left.insert("EARLY.response.json");
    EXPECT_EQ(entries(dir), left);
    EXPECT_EQ(permissions(response), 0600u);
    EXPECT_EQ(permissions(dir), 0700u);
    EXPECT_EQ(orvex.stop(), 0);
}

TEST(CommandFilesEndToEnd, UnreadableAndUnsafeCommandsAreDeletedUnanswered) {
    Sandbox sandbox;
    Orvex orvex(sandbox);
    ASSERT_TRUE(orvex.started()) << orvex.log();
    const auto dir = sandbox.commands();
    // 255 bytes of file name at most: the id, ".response.json" and the 21 bytes of the
    // temporary name; an id of 220 bytes is answered (below).
    const std::string prefix = R"({"action": "preset.list", "params": {}, "id": )";
    const struct {
        const char* name;
        std::string text;
        const char* why;
    } files[] = {
        {"json", "{ this is not json", "invalid JSON"},
        {"top", R"(["action", "a"])", "must be a JSON object"},
        {"noid", R"({"action": "a", "params": {}})", "\"id\" is missing"},
        {"noaction", R"({"id": "noaction", "params": {}})", "\"action\" is missing"},
        {"noparams", R"({"action": "a", "id": "noparams"})", "\"params\" is missing"},
        {"nullparams", R"({"action": "a", "id": "n", "params": null})", "\"params\" is missing"},
        {"listparams", R"({"action": "a", "id": "l", "params": ["id"]})", "must be an object"},
        {"number", R"({"action": "a", "id": "n", "params": {"id": 1}})", "\"params.id\" must be"},
        {"boolean", R"({"action": "a", "id": "b", "params": {"on": true}})", "\"params.on\" must"},
        {"null", R"({"action": "a", "id": "n", "params": {"on": null}})", "\"params.on\" must"},
        {"numberid", prefix + "7}", "\"id\" must be a string"},
        {"escape", prefix + R"("../escape"})", "holds \"/\""},
        {"sub", prefix + R"("a/b"})", "holds \"/\""},
        {"dots", prefix + R"(".."})", "holds \"..\""},
        {"empty", prefix + R"(""})", "is empty"},
        {"long", prefix + "\"" + std::string(221, 'b') + "\"}", "too long"},
        {"huge", prefix + R"("huge", "x": ")" + std::string(2u << 20, 'x') + "\"}", "larger than"},
    };
    for (const auto& file : files) {
        ASSERT_FALSE(
            writeFileAtomically(dir / (std::string(file.name) + ".command.json"), file.text));
    }

    ASSERT_TRUE(waitUntil([&] { return entries(dir).empty(); })) << orvex.log();
    EXPECT_FALSE(exists(sandbox.orvexDirectory() / "escape.response.json"));
    EXPECT_FALSE(orvex.logContains("Processing command"));
    std::istringstream log(orvex.log());
    std::vector<std::string> failures;
    for (std::string line; std::getline(log, line);) {
        if (line.starts_with("[CommandQueue] Failed to parse command file: ")) {
            failures.push_back(line);
        }
    }
    for (const auto& file : files) {
        const std::string name = std::string(file.name) + ".command.json";
        EXPECT_EQ(std::ranges::count_if(failures,
                                        [&](const std::string& line) {
                                            return line.find(name) != std::string::npos &&
                                                   line.find(file.why) != std::string::npos;
                                        }),
                  1)
            << name << "\n"
            << orvex.log();
    }

    // The queue still serves well-formed commands afterwards.
    EXPECT_EQ(runCli(sandbox, {"app.status"}).status, 0);
    EXPECT_EQ(orvex.stop(), 0);
}

// Files written in place or linked in are seen as well as ones moved in; an answer already
// there stops the command; the answer is named after the id inside, not the file name.
TEST(CommandFilesEndToEnd, FilesArrivingWhileItRuns) {
    Sandbox sandbox;
    Orvex orvex(sandbox);
    ASSERT_TRUE(orvex.started()) << orvex.log();
    const auto dir = sandbox.commands();

    ASSERT_FALSE(writeFileAtomically(dir / "TAKEN.response.json", "earlier answer"));
    ASSERT_FALSE(
        writeFileAtomically(dir / "TAKEN.command.json", command("TAKEN", "folder.create")));
    ASSERT_TRUE(waitUntil([&] { return !exists(dir / "TAKEN.command.json"); }));
    EXPECT_EQ(readText(dir / "TAKEN.response.json"), "earlier answer");
    EXPECT_TRUE(waitUntil(
        [&] { return orvex.logContains("[CommandQueue] Response already exists, skipping"); }));
    // Not carried out: no folder was made.
    EXPECT_TRUE(runCli(sandbox, {"preset.list"}).json["data"]["folders"].empty());

    const std::string longest(220, 'a');
    testing::writeText(dir / "OUTER.command.json", command("INNER", "app.status"));
    testing::writeText(sandbox.root() / "linked", command(longest, "app.status"));
    ASSERT_EQ(::link((sandbox.root() / "linked").c_str(), (dir / "L.command.json").c_str()), 0);
    for (const std::string& id : {std::string("INNER"), longest}) {
        EXPECT_TRUE(waitUntil([&] { return exists(dir / (id + ".response.json")); })) << id;
    }
    EXPECT_EQ(entries(dir), (std::set<std::string>{"INNER.response.json", "TAKEN.response.json",
                                                   longest + ".response.json"}));
    EXPECT_EQ(orvex.stop(), 0);
}

TEST(CommandFilesEndToEnd, FiftyClientsAtOnceEachGetTheirOwnAnswer) {
    Sandbox sandbox;
    Orvex orvex(sandbox);
    ASSERT_TRUE(orvex.started()) << orvex.log();

    constexpr std::size_t kClients = 50;
    std::vector<CliResult> results(kClients);
    {
        std::vector<std::jthread> clients;
        for (std::size_t i = 0; i < kClients; ++i) {
            clients.emplace_back([&, i] {
                results[i] = runCli(sandbox, {"folder.create", "--name", "F" + std::to_string(i)});
            });
        }
    }
    std::set<std::string> ids;
    for (std::size_t i = 0; i < kClients; ++i) {
        EXPECT_EQ(results[i].status, 0) << i << ": " << results[i].errors;
        EXPECT_EQ(results[i].message(), "Folder created: F" + std::to_string(i));
        ids.insert(results[i].json.value("id", ""));
    }
    EXPECT_EQ(ids.size(), kClients);
    EXPECT_EQ(runCli(sandbox, {"preset.list"}).json["data"]["folders"].size(), kClients);
    // Every answer was collected by its client.
    EXPECT_TRUE(entries(sandbox.commands()).empty());
    EXPECT_EQ(orvex.stop(), 0);
}

// A second start asks the first to show its window and leaves; SIGTERM ends every other
// test's Orvex, SIGINT ends it as cleanly.
TEST(ProgramEndToEnd, ASecondStartShowsTheFirstsWindowAndSigintEndsTheFirst) {
    Sandbox sandbox;
    Orvex first(sandbox);
    ASSERT_TRUE(first.started()) << first.log();

    testing::ChildResult second = sandbox.run("orvex", {});
    EXPECT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(second.out, "orvex: Orvex is already running; its window is shown\n");
    EXPECT_NE(first.log().find("Processing command: window.show"), std::string::npos)
        << first.log();
    // The first one is unaffected.
    EXPECT_EQ(runCli(sandbox, {"app.status"}).status, 0);
    first.signal(SIGINT);
    EXPECT_EQ(first.wait(), 0);
    EXPECT_TRUE(first.output().ends_with("orvex: stopped\n")) << first.output();

    // Once the first has gone, a new one starts.
    Orvex third(sandbox);
    EXPECT_TRUE(third.started()) << third.log();
    EXPECT_EQ(third.stop(), 0);
    EXPECT_TRUE(third.output().ends_with("orvex: stopped\n")) << third.output();
}

TEST(ProgramEndToEnd, AnUnreadableSettingsFileIsKeptWhenStartUpReplacesIt) {
    Sandbox sandbox;
    std::filesystem::create_directories(sandbox.orvexDirectory());
    const std::string broken = R"({"presets": [{"id": "mine", "label": "Mine"},]})";
    testing::writeText(sandbox.settingsFile(), broken);

    Orvex orvex(sandbox);
    ASSERT_TRUE(orvex.started()) << orvex.log();
    std::vector<std::filesystem::path> kept;
    for (const auto& entry : std::filesystem::directory_iterator(sandbox.orvexDirectory())) {
        if (entry.path().filename().string().starts_with("settings.json.unreadable-")) {
            kept.push_back(entry.path());
        }
    }
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(readText(kept[0]), broken);
    EXPECT_TRUE(waitUntil([&] {
        return orvex.output().find(
                   "orvex: status (error): Your settings file could not be read, "
                   "so the presets were reset. The old file was kept as " +
                   kept[0].string() + ".") != std::string::npos;
    })) << orvex.output();
    EXPECT_EQ(runCli(sandbox, {"preset.get", "--id", "1"}).status, 0);
    EXPECT_EQ(orvex.stop(), 0);
}

TEST(ProgramEndToEnd, StartUpProblemsAreReportedWithExitStatusOne) {
    Sandbox sandbox;
    const struct {
        std::vector<std::string> arguments;
        std::vector<std::string> environment;
        const char* error;
    } cases[] = {
        {{}, {"HOME=relative", "XDG_CONFIG_HOME="}, "orvex: No home directory"},
        {{"--desktop"}, {}, "orvex: --desktop needs a value\n\nUsage: orvex"},
        {{"--dekstop", "x"}, {}, "orvex: Unknown argument: --dekstop\n\nUsage: orvex"},
        {{"--desktop", "x11"}, {}, "orvex: Unknown desktop \"x11\""},
        {{"--desktop", "sim:"}, {}, "orvex: Unknown desktop \"sim:\""},
        {{"--desktop", "sim:/no/such/scenario.json"}, {}, "orvex: Cannot load the scenario"},
        {{"--journal", "j"}, {}, "orvex: --journal needs the simulated desktop"},
    };
    for (const auto& c : cases) {
        testing::ChildResult orvex = sandbox.run("orvex", c.arguments, c.environment);
        EXPECT_EQ(orvex.exitCode, 1) << c.error;
        EXPECT_TRUE(orvex.err.starts_with(c.error)) << orvex.err;
    }
}

// A display is named but cannot be used. With the Linux backend built, Orvex refuses to
// start and says why, rather than running without its desktop; without the backend it runs
// with none, and a preset run says so. scripts/test builds the backend, so there a build
// without it fails here.
TEST(ProgramEndToEnd, WithADisplayItCannotUseItSaysWhy) {
    Sandbox sandbox;
    testing::ChildResult desktops = sandbox.run("orvex", {"--list-desktops"});
    ASSERT_EQ(desktops.exitCode, 0);
    const bool linuxBuilt = desktops.out.find("linux\n") != std::string::npos;
    const char* required = std::getenv("ORVEX_REQUIRE_DESKTOP_TOOLS");
    if (required && std::string_view(required) == "1") {
        ASSERT_TRUE(linuxBuilt) << "the Linux desktop backend was not built";
    }
    if (linuxBuilt) {
        testing::ChildResult refused = sandbox.run("orvex", {}, {"DISPLAY=:97"});
        EXPECT_EQ(refused.exitCode, 1);
        EXPECT_NE(refused.err.find("Cannot use the Linux desktop: cannot open the X display "
                                   "\":97\""),
                  std::string::npos)
            << refused.err;
        return;
    }
    Orvex orvex(sandbox, {}, {"DISPLAY=:97"});
    ASSERT_TRUE(orvex.started()) << orvex.log();
    EXPECT_NE(orvex.output().find("built without the Linux desktop backend"), std::string::npos);
    EXPECT_EQ(runCli(sandbox, {"preset.execute", "--id", "1"}).error(),
              "Executed with error: No desktop session is available");
    EXPECT_EQ(orvex.stop(), 0);
}

}  // namespace
}  // namespace orvex::e2e

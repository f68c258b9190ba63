// A command directory someone else can write to as well: links, pipes and directories under
// command and response names, a command swapped while it is read, and the directory itself
// replaced by a link. Nothing outside the directory may be read, written or deleted, and
// the queue keeps answering.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <map>
#include <thread>

#include "app/ui/e2e/e2e_support.h"
#include "protocol/cli_command.h"

namespace orvex::e2e {
namespace {

namespace fs = std::filesystem;

std::string command(const std::string& id, const std::string& action) {
    return encodeCLICommandText(CLICommand{id, action, {}});
}

// Every entry below `root`, with the content of the regular files.
std::map<std::string, std::string> snapshot(const fs::path& root) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        entries[entry.path().lexically_relative(root).string()] =
            entry.is_regular_file() ? readText(entry.path()) : "";
    }
    return entries;
}

// Renames a link, a pipe and a real command in turns over one command name, so that scans
// find each kind where another just was.
void swapKinds(const fs::path& dir, const fs::path& linkTarget) {
    const fs::path name = dir / "W.command.json", spare = dir / "swap.tmp";
    for (int round = 0; round < 1500; ++round) {
        switch (round % 3) {
            case 0:
                fs::create_symlink(linkTarget, spare);
                break;
            case 1:
                ::mkfifo(spare.c_str(), 0600);
                break;
            default:
                testing::writeText(spare, command("W", "app.status"));
        }
        fs::rename(spare, name);
    }
}

TEST(HostileCommandDirectory, NothingOutsideIsTouchedAndTheQueueKeepsAnswering) {
    Sandbox sandbox;
    const fs::path dir = sandbox.commands(), outside = sandbox.root() / "outside";
    fs::create_directories(outside / "other");
    // Each would be carried out, and answered, if it were read.
    testing::writeText(outside / "secret.json", command("SECRET", "folder.create"));
    testing::writeText(outside / "other" / "O.command.json", command("OTHER", "folder.create"));
    testing::writeText(outside / "passwd", "root:x:0:0:root:/root:/bin/bash\n");
    testing::writeText(outside / "answer", "kept");
    Orvex orvex(sandbox);
    ASSERT_TRUE(orvex.started()) << orvex.log();
    const auto before = snapshot(outside);
    auto send = [&](const std::string& id) {
        ASSERT_FALSE(writeFileAtomically(dir / (id + ".command.json"), command(id, "app.status")));
    };

    const struct {
        const char* kind;
        std::function<void()> plant;
    } kinds[] = {
        {"link to a command outside",
         [&] { fs::create_symlink(outside / "secret.json", dir / "S.command.json"); }},
        {"link to a password file",
         [&] { fs::create_symlink(outside / "passwd", dir / "P.command.json"); }},
        {"dangling link", [&] { fs::create_symlink(outside / "new", dir / "D.command.json"); }},
        {"links at the response's name",
         [&] {
             fs::create_symlink(outside / "answer", dir / "R1.response.json");
             fs::create_symlink(outside / "new-answer", dir / "R2.response.json");
             send("R1");
             send("R2");
         }},
        {"pipe at the response's name",
         [&] {
             ASSERT_EQ(::mkfifo((dir / "R3.response.json").c_str(), 0600), 0);
             send("R3");
         }},
        {"directory under a command name",
         [&] {
             fs::create_directory(dir / "X.command.json");
             testing::writeText(dir / "X.command.json" / "inner", command("X", "app.status"));
         }},
        {"command swapped for a link or a pipe while read",
         [&] { swapKinds(dir, outside / "secret.json"); }},
    };
    for (const auto& hostile : kinds) {
        SCOPED_TRACE(hostile.kind);
        hostile.plant();
        EXPECT_TRUE(runCli(sandbox, {"app.status"}).success()) << orvex.log();
        EXPECT_EQ(snapshot(outside), before);
    }

    // The directory moved away and a link to another one put in its place: Orvex stays with
    // the directory it opened, wherever that went.
    const fs::path away = sandbox.orvexDirectory() / "moved";
    fs::rename(dir, away);
    fs::create_directory_symlink(outside / "other", dir);
    ASSERT_FALSE(writeFileAtomically(away / "A.command.json", command("A", "app.status")));
    EXPECT_TRUE(waitUntil([&] { return fs::exists(away / "A.response.json"); })) << orvex.log();
    EXPECT_EQ(snapshot(outside), before);
    fs::remove(dir);
    fs::rename(away, dir);
    EXPECT_TRUE(runCli(sandbox, {"app.status"}).success()) << orvex.log();

    for (const char* leaked : {"SECRET", "OTHER", "root:x"}) {
        EXPECT_FALSE(orvex.logContains(leaked)) << leaked;
    }
    EXPECT_EQ(orvex.stop(), 0);
}

}  // namespace
}  // namespace orvex::e2e

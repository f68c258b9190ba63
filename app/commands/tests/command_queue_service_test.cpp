#include "app/commands/command_queue_service.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "base/clock.h"
#include "base/log.h"
#include "base/manual_main_queue.h"
#include "protocol/cli_response.h"
#include "protocol/command_files.h"
#include "testing/temp_dir.h"

namespace orvex {
namespace {

using namespace std::chrono_literals;
using testing::readText;
using testing::TempDir;
using testing::writeText;

// A service on the manual main queue whose handler holds every completion back.
class CommandQueueServiceTest : public ::testing::Test {
  protected:
    std::shared_ptr<CommandQueueService> makeService(FileCreationTime times = fileCreationTime) {
        return CommandQueueService::create(
            dir, queue, clock,
            [this](const CLICommand& command, CommandCompletion done) {
                handled.push_back(command);
                held.push_back(std::move(done));
            },
            std::move(times));
    }

    bool exists(const std::string& name) const { return std::filesystem::exists(dir / name); }

    TempDir temp;
    std::filesystem::path dir = temp / "commands";
    VirtualClock clock;
    ManualMainQueue queue{clock};
    ScopedLogCapture logs;
    std::vector<CLICommand> handled;
    std::vector<CommandCompletion> held;
};

// What the queue does with each file name, content and id is checked through the running
// program (app/ui/e2e/command_files_e2e_test.cpp); here, the threads and virtual time.
TEST_F(CommandQueueServiceTest, CarriedOutOnTheMainQueueAndAnsweredFromAnyThread) {
    std::filesystem::create_directories(dir);
    writeText(dir / "L.command.json",
              encodeCLICommandText(CLICommand{"L", "preset.execute", {{"id", "7"}}}));
    auto service = makeService();
    service->start();
    // Picked up and deleted during start, carried out only on the main queue.
    EXPECT_FALSE(exists("L.command.json"));
    EXPECT_TRUE(handled.empty());
    queue.runUntilIdle();
    ASSERT_EQ(held.size(), 1u);
    EXPECT_EQ(handled[0].params, (std::map<std::string, std::string>{{"id", "7"}}));
    EXPECT_FALSE(exists("L.response.json"));

    const CLIResponse answer = failureResponse("L", "Executed with error: nope");
    std::thread([&] { held[0](answer); }).join();
    EXPECT_EQ(readText(dir / "L.response.json"), encodeCLIResponseText(answer));
}

TEST_F(CommandQueueServiceTest, UnwatchableDirectoryDegradesToTheStartScanOnly) {
    writeText(temp.path() / "plain-file", "");
    dir = temp.path() / "plain-file" / "commands";
    auto service = makeService();
    service->start();
    queue.runUntilIdle();
    EXPECT_TRUE(logs.system().contains("[CommandQueue] Failed to open directory for monitoring"));
    EXPECT_FALSE(service->isWatching());
    EXPECT_EQ(queue.pendingTimerCount(), 0u);
}

// Cleanup on virtual time, with each file's creation time chosen by the test.
TEST_F(CommandQueueServiceTest, CleanupDeletesStaleResponsesAndEmptyCommandsEveryMinute) {
    std::map<std::string, std::chrono::system_clock::time_point> born;
    auto service = makeService([&](const std::filesystem::path& path)
                                   -> std::optional<std::chrono::system_clock::time_point> {
        auto it = born.find(path.filename().string());
        return it == born.end() ? std::nullopt : std::optional(it->second);
    });
    const auto start = clock.wallNow();
    std::filesystem::create_directories(dir);
    for (std::string name :
         {"old.response.json", "young.response.json", "unknown.response.json", "other.json"}) {
        writeText(dir / name, "{}");
    }
    born["old.response.json"] = start - 1s;    // 61 s old at the first tick
    born["young.response.json"] = start + 1s;  // 59 s old at the first tick
    born["other.json"] = start - 1h;           // only response files are the cleanup's
    // Empty: a writer writing in place has just made it, so the scan leaves it; it goes
    // with the cleanup when it stays empty.
    writeText(dir / "in-place.command.json", "");
    born["in-place.command.json"] = start - 1s;
    service->start();
    queue.runUntilIdle();
    EXPECT_TRUE(exists("in-place.command.json"));
    EXPECT_TRUE(handled.empty());

    queue.advance(59s);
    EXPECT_TRUE(exists("old.response.json"));
    queue.advance(1s);  // first tick, 60 s after start
    EXPECT_FALSE(exists("old.response.json"));
    EXPECT_FALSE(exists("in-place.command.json"));
    EXPECT_TRUE(exists("young.response.json"));
    EXPECT_TRUE(exists("unknown.response.json"));  // no creation time: left alone
    EXPECT_TRUE(exists("other.json"));

    queue.advance(60s);  // second tick
    EXPECT_FALSE(exists("young.response.json"));
    EXPECT_TRUE(exists("unknown.response.json"));
    service.reset();
    EXPECT_EQ(queue.pendingTimerCount(), 0u);
}

// The same rule with the file system's own creation time of a file made just now.
TEST_F(CommandQueueServiceTest, CleanupReadsTheFileSystemsCreationTime) {
    std::filesystem::create_directories(dir);
    writeText(dir / "fresh.response.json", "{}");
    auto created = fileCreationTime(dir / "fresh.response.json");
    ASSERT_TRUE(created.has_value());
    EXPECT_FALSE(fileCreationTime(dir / "missing.response.json").has_value());

    VirtualClock lateClock(*created + 1s);
    ManualMainQueue lateQueue(lateClock);
    auto service = CommandQueueService::create(dir, lateQueue, lateClock,
                                               [](const CLICommand&, CommandCompletion) {});
    // Gone once more than 60 s old: at 61 s, not at 1 s or 60 s.
    for (const auto& [later, left] : {std::pair{0s, true}, {59s, true}, {1s, false}}) {
        lateClock.advanceTo(lateClock.now() + later);
        service->cleanupStaleFiles();
        EXPECT_EQ(exists("fresh.response.json"), left) << later.count();
    }
}

// The creation times are looked up by path, and at the minute's tick the path may lead to
// another directory, whose answers are not the queue's to delete.
TEST_F(CommandQueueServiceTest, CleanupDeletesNothingOnceTheDirectoryIsReplacedByALink) {
    auto service = makeService([](const std::filesystem::path&) {
        return std::optional(std::chrono::system_clock::time_point{});
    });
    std::filesystem::rename(dir, temp / "moved");
    std::filesystem::create_directory(temp / "elsewhere");
    writeText(temp / "elsewhere" / "old.response.json", "{}");
    std::filesystem::create_directory_symlink(temp / "elsewhere", dir);
    service->cleanupStaleFiles();
    EXPECT_TRUE(exists("old.response.json"));
}

}  // namespace
}  // namespace orvex

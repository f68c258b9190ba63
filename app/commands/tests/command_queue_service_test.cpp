#include "app/commands/command_queue_service.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>
#include <vector>

#include "app/store/tests/temp_dir.h"
#include "base/clock.h"
#include "base/log.h"
#include "base/manual_main_queue.h"
#include "protocol/cli_response.h"
#include "protocol/command_files.h"

namespace orvex {
namespace {

using namespace std::chrono_literals;
using testing::readText;
using testing::TempDir;
using testing::writeText;

// A service on the manual main queue whose handler answers every command with a message
// naming its action, or holds the completion back when asked to.
class CommandQueueServiceTest : public ::testing::Test {
  protected:
    void SetUp() override { dir = temp.path() / "commands"; }

    std::shared_ptr<CommandQueueService> makeService(FileCreationTime times = fileCreationTime) {
        return CommandQueueService::create(
            dir, queue, clock,
            [this](const CLICommand& command, CommandCompletion done) {
                handled.push_back(command);
                if (holdAnswers) {
                    held.push_back(std::move(done));
                    return;
                }
                CLIResponseData data;
                data.message = "did " + command.action;
                done(successResponse(command.id, data));
            },
            std::move(times));
    }

    void writeCommand(const std::string& fileName, const std::string& text) {
        std::filesystem::create_directories(dir);
        writeText(dir / fileName, text);
    }

    static std::string commandText(const std::string& id, const std::string& action) {
        return encodeCLICommandText(CLICommand{id, action, {{"id", "7"}}});
    }

    bool exists(const std::string& name) const { return std::filesystem::exists(dir / name); }

    TempDir temp;
    std::filesystem::path dir;
    VirtualClock clock;
    ManualMainQueue queue{clock};
    ScopedLogCapture logs;
    std::vector<CLICommand> handled;
    std::vector<CommandCompletion> held;
    bool holdAnswers = false;
};

TEST_F(CommandQueueServiceTest, AnswersFilesWaitingAtStartInTheMainQueue) {
    writeCommand("A.command.json", commandText("A", "preset.list"));
    writeCommand("B.command.json", commandText("B", "app.status"));
    // Look-alikes stay where they are.
    writeCommand("notes.json", "{}");
    writeCommand("C.command.txt", commandText("C", "preset.list"));
    writeCommand("D.command.json.tmp-1f", commandText("D", "preset.list"));

    auto service = makeService();
    service->start();
    EXPECT_TRUE(logs.system().contains("[CommandQueue] Starting watch on: " + dir.string()));
    EXPECT_TRUE(logs.system().contains("[CommandQueue] Processing command: app.status (id: B)"));
    // Picked up and deleted during start, carried out only on the main queue.
    EXPECT_FALSE(exists("A.command.json"));
    EXPECT_TRUE(handled.empty());

    queue.runUntilIdle();
    ASSERT_EQ(handled.size(), 2u);
    EXPECT_EQ(handled[0].params, (std::map<std::string, std::string>{{"id", "7"}}));
    auto answer = decodeCLIResponseText(readText(dir / "A.response.json"));
    ASSERT_TRUE(answer.ok()) << answer.error;
    EXPECT_EQ(answer.value->data->message, "did preset.list");
    EXPECT_TRUE(logs.system().contains("[CommandQueue] Response written: A"));
    EXPECT_TRUE(exists("B.response.json"));
    EXPECT_TRUE(exists("notes.json"));
    EXPECT_TRUE(exists("C.command.txt"));
    EXPECT_TRUE(exists("D.command.json.tmp-1f"));
}

// The files are in place before start, so the start scan meets them all; the watch thread
// starts only after that scan, and these tests never race it.
TEST_F(CommandQueueServiceTest, UnreadableCommandsAreDeletedUnanswered) {
    writeCommand("bad.command.json", "{ not json");
    writeCommand("noparams.command.json", R"({"id": "noparams", "action": "preset.list"})");
    writeCommand("number.command.json",
                 R"({"id": "number", "action": "preset.get", "params": {"id": 2}})");
    writeCommand("slash.command.json",
                 R"({"id": "../../escape", "action": "preset.list", "params": {}})");
    writeCommand("sub.command.json", R"({"id": "a/b", "action": "preset.list", "params": {}})");
    writeCommand("empty.command.json", R"({"id": "", "action": "preset.list", "params": {}})");
    writeCommand("dots.command.json", R"({"id": "..", "action": "preset.list", "params": {}})");
    std::string huge = R"({"id": "huge", "action": "preset.list", "params": {"x": ")" +
                       std::string(kMaxCommandFileBytes, 'x') + "\"}}";
    writeCommand("huge.command.json", huge);
    ASSERT_EQ(::mkfifo((dir / "pipe.command.json").c_str(), 0600), 0);

    auto service = makeService();
    service->start();
    queue.runUntilIdle();

    EXPECT_TRUE(handled.empty());
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        ADD_FAILURE() << "left behind: " << entry.path().filename();
    }
    EXPECT_FALSE(std::filesystem::exists(temp.path() / "escape.response.json"));
    EXPECT_EQ(logs.system().count("[CommandQueue] Failed to parse command file: "), 9u);
    EXPECT_TRUE(logs.system().contains("larger than 1048576 bytes"));
    EXPECT_TRUE(logs.system().contains("command id holds \"/\""));
    EXPECT_TRUE(logs.system().contains("dots.command.json: command id holds \"..\""));
    EXPECT_TRUE(logs.system().contains("command id is empty"));
    EXPECT_FALSE(logs.system().contains("Processing command"));
}

TEST_F(CommandQueueServiceTest, EmptyParamsAreValidAndTheIdNamesTheResponse) {
    auto service = makeService();
    writeCommand("FILE-NAME.command.json",
                 R"({"id": "INNER", "action": "preset.list", "params": {}, "extra": 1})");
    service->start();
    queue.runUntilIdle();

    ASSERT_EQ(handled.size(), 1u);
    EXPECT_TRUE(handled[0].params.empty());
    EXPECT_TRUE(exists("INNER.response.json"));
    EXPECT_FALSE(exists("FILE-NAME.response.json"));
    EXPECT_FALSE(exists("FILE-NAME.command.json"));
}

TEST_F(CommandQueueServiceTest, ExistingResponseSkipsTheCommandAndStaysUnchanged) {
    writeCommand("X.response.json", "old answer");
    writeCommand("X.command.json", commandText("X", "preset.delete"));
    auto service = makeService();
    service->start();
    queue.runUntilIdle();

    EXPECT_TRUE(handled.empty());
    EXPECT_FALSE(exists("X.command.json"));
    EXPECT_EQ(readText(dir / "X.response.json"), "old answer");
    EXPECT_TRUE(logs.system().contains("[CommandQueue] Response already exists, skipping"));
}

TEST_F(CommandQueueServiceTest, LateAnswersAreWrittenFromAnyThreadInPrivateFiles) {
    holdAnswers = true;
    writeCommand("L.command.json", commandText("L", "preset.execute"));
    auto service = makeService();
    service->start();
    queue.runUntilIdle();
    ASSERT_EQ(held.size(), 1u);
    EXPECT_FALSE(exists("L.response.json"));

    std::thread worker([&] { held[0](failureResponse("L", "Executed with error: nope")); });
    worker.join();
    auto text = readText(dir / "L.response.json");
    EXPECT_EQ(text, encodeCLIResponseText(failureResponse("L", "Executed with error: nope")));

    struct stat info {};
    ASSERT_EQ(::stat((dir / "L.response.json").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat(dir.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST_F(CommandQueueServiceTest, LooseDirectoryIsMadePrivate) {
    std::filesystem::create_directories(dir);
    ::chmod(dir.c_str(), 0755);
    auto service = makeService();
    struct stat info {};
    ASSERT_EQ(::stat(dir.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST_F(CommandQueueServiceTest, UnsafeIdIsNeverWrittenAsAResponse) {
    auto service = makeService();
    service->writeResponse(successResponse("../outside", {}));
    EXPECT_FALSE(std::filesystem::exists(temp.path() / "outside.response.json"));
    EXPECT_TRUE(logs.system().contains("[CommandQueue] Failed to write response: "));
}

TEST_F(CommandQueueServiceTest, EveryIdLongEnoughToPassIsAnsweredAndTheNextLengthIsRefusedUnrun) {
    // 255 bytes of file name: the id, ".response.json" and the 21 bytes of the temporary name.
    const std::string longest(220, 'a');
    const std::string refused(221, 'b');
    writeCommand(commandFileName(longest), commandText(longest, "folder.create"));
    writeCommand(commandFileName(refused), commandText(refused, "folder.create"));
    auto service = makeService();
    service->start();
    queue.runUntilIdle();

    ASSERT_EQ(handled.size(), 1u);
    EXPECT_EQ(handled[0].id, longest);
    EXPECT_TRUE(exists(responseFileName(longest)));
    EXPECT_FALSE(exists(commandFileName(refused)));
    EXPECT_FALSE(exists(responseFileName(refused)));
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
        if (it == born.end()) {
            return std::nullopt;
        }
        return it->second;
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

    VirtualClock lateClock(*created + 1s);  // wall time 61 s after creation at the tick
    ManualMainQueue lateQueue(lateClock);
    auto service = CommandQueueService::create(dir, lateQueue, lateClock,
                                               [](const CLICommand&, CommandCompletion) {});
    service->cleanupStaleFiles();
    EXPECT_TRUE(exists("fresh.response.json"));
    lateClock.advanceTo(lateClock.now() + 59s);
    service->cleanupStaleFiles();
    EXPECT_TRUE(exists("fresh.response.json"));
    lateClock.advanceTo(lateClock.now() + 2s);
    service->cleanupStaleFiles();
    EXPECT_FALSE(exists("fresh.response.json"));
}

}  // namespace
}  // namespace orvex

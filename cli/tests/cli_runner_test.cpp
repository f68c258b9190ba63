#include "cli/core/cli_runner.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <sstream>

#include "base/atomic_file.h"
#include "protocol/command_files.h"
#include "testing/temp_dir.h"

namespace orvex {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

constexpr const char* kId = "0F4E8C1A-2B3C-4D5E-8F90-A1B2C3D4E5F6";
constexpr const char* kTimeout = "Error: Timeout waiting for response. Is Orvex running?\n";

// orvex-cli on virtual time: each sleep of the client runs `duringSleep` with its number
// (counting from 1), as the app would act while the client waits. Usage, exit statuses
// and an unwritable command directory are checked through the program itself (app/ui/e2e).
class CliRunnerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        environment.resolvePaths = [this] { return AppPathsResult{AppPaths{temp / "orvex"}, {}}; };
        environment.newCommandId = [] { return std::string(kId); };
        clock.setAdvancer([this](Clock::Duration) {
            if (duringSleep) {
                duringSleep(++sleeps);
            }
        });
    }
    fs::path commandsDir() const { return temp / "orvex/commands"; }
    fs::path commandFile() const { return *commandFilePath(commandsDir(), kId); }
    fs::path responseFile() const { return *responseFilePath(commandsDir(), kId); }
    int run(std::vector<std::string> arguments) { return runCli(arguments, environment); }
    void answerDuringSleep(int sleep, std::string content) {
        duringSleep = [this, sleep, content](int count) {
            if (count == sleep) {
                ASSERT_FALSE(writeFileAtomically(responseFile(), content, 0600));
            }
        };
    }
    static std::vector<Clock::Duration> polls(std::size_t count) {
        return std::vector<Clock::Duration>(count, milliseconds(100));
    }

    testing::TempDir temp;
    VirtualClock clock;
    std::ostringstream out;
    std::ostringstream err;
    CliEnvironment environment{clock, out, err};
    int sleeps = 0;
    std::function<void(int)> duringSleep;
};

TEST_F(CliRunnerTest, WritesThePrivateCommandFileThenTimesOutAfterTenSeconds) {
    const auto start = clock.now();
    duringSleep = [this](int count) {
        if (count == 1) {
            // The file is in place, complete and private, before the first wait.
            struct stat info {};
            ASSERT_EQ(::stat(commandFile().c_str(), &info), 0);
            EXPECT_EQ(info.st_mode & 07777, 0600u);
            ASSERT_EQ(::stat(commandsDir().c_str(), &info), 0);
            EXPECT_EQ(info.st_mode & 07777, 0700u);
            EXPECT_EQ(testing::readText(commandFile()),
                      "{\n"
                      "  \"action\": \"folder.rename\",\n"
                      "  \"id\": \"0F4E8C1A-2B3C-4D5E-8F90-A1B2C3D4E5F6\",\n"
                      "  \"params\": {\n"
                      "    \"id\": \"2\",\n"
                      "    \"name\": \"Work\"\n"
                      "  }\n"
                      "}\n");
        }
    };
    EXPECT_EQ(run({"folder.rename", "--id", "1", "--name", "Work", "--id", "2"}), 1);

    EXPECT_EQ(clock.sleeps(), polls(100));
    EXPECT_EQ(clock.now() - start, std::chrono::seconds(10));
    EXPECT_EQ(err.str(), kTimeout);
    EXPECT_EQ(out.str(), "");
    // Left for the app to carry out when it next starts.
    EXPECT_TRUE(fs::exists(commandFile()));
}

// Nulls and keys it does not know are dropped from what it prints.
TEST_F(CliRunnerTest, PrintsTheResponseReEncodedAndDeletesIt) {
    answerDuringSleep(3, R"({"success":true,"id":"0F4E8C1A-2B3C-4D5E-8F90-A1B2C3D4E5F6",
        "error":null,"extra":1,"data":{"preset":null,"status":{"running":true,"language":"en",
        "presetCount":2,"folderCount":0,"alwaysOnTop":false,"uptime":5}}})");

    EXPECT_EQ(run({"app.status"}), 0);

    auto expectedSleeps = polls(3);
    expectedSleeps.push_back(milliseconds(50));
    EXPECT_EQ(clock.sleeps(), expectedSleeps);
    EXPECT_EQ(out.str(),
              "{\n"
              "  \"data\": {\n"
              "    \"status\": {\n"
              "      \"alwaysOnTop\": false,\n"
              "      \"folderCount\": 0,\n"
              "      \"language\": \"en\",\n"
              "      \"presetCount\": 2,\n"
              "      \"running\": true\n"
              "    }\n"
              "  },\n"
              "  \"id\": \"0F4E8C1A-2B3C-4D5E-8F90-A1B2C3D4E5F6\",\n"
              "  \"success\": true\n"
              "}\n");
    EXPECT_EQ(err.str(), "");
    EXPECT_FALSE(fs::exists(responseFile()));
}

TEST_F(CliRunnerTest, Failures) {
    // Runs `arguments` expecting a failure that prints nothing, after `expectedSleeps`.
    const auto expectFailure = [this](std::vector<std::string> arguments,
                                      const std::string& errorStart, int expectedSleeps) {
        const std::size_t before = clock.sleeps().size();
        EXPECT_EQ(run(std::move(arguments)), 1);
        EXPECT_EQ(clock.sleeps().size() - before, static_cast<std::size_t>(expectedSleeps));
        EXPECT_TRUE(err.str().starts_with(errorStart)) << err.str();
        EXPECT_EQ(out.str(), "");
        EXPECT_TRUE(expectedSleeps > 0 || !fs::exists(commandFile()));
        EXPECT_FALSE(fs::is_regular_file(responseFile()));  // an answer read is deleted
        fs::remove_all(commandsDir());
        err.str("");
        sleeps = 0;
    };
    // An undecodable answer is no answer, and is deleted.
    answerDuringSleep(2, R"({"id":"x","success":"yes"})");
    expectFailure({"preset.list"}, kTimeout, 3);
    // An unreadable one is read again until the timeout: one plain poll, then settle and
    // poll each round until ten seconds have passed.
    duringSleep = [this](int count) {
        if (count == 1) {
            fs::create_directory(responseFile());
        }
    };
    expectFailure({"preset.list"}, kTimeout, 1 + 2 * 66);
    // An oversized command is refused before it is written.
    expectFailure({"preset.create", "--fixedPrompt", std::string(1 << 20, 'x')},
                  "Error: Command too large: ", 0);
    environment.resolvePaths = [] {
        return AppPathsResult{std::nullopt, "No home directory: set HOME"};
    };
    expectFailure({"preset.list"}, "Error: No home directory: set HOME\n", 0);
}

}  // namespace
}  // namespace orvex

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

class CliRunnerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        environment_.resolvePaths = [this] {
            return AppPathsResult{AppPaths{root_ / "orvex"}, {}};
        };
        environment_.newCommandId = [] { return std::string(kId); };
        clock_.setAdvancer([this](Clock::Duration) {
            ++sleepCount_;
            if (duringSleep_) {
                duringSleep_(sleepCount_);
            }
        });
    }
    fs::path commandsDir() const { return root_ / "orvex" / "commands"; }
    fs::path commandFile() const { return *commandFilePath(commandsDir(), kId); }
    fs::path responseFile() const { return *responseFilePath(commandsDir(), kId); }

    int run(std::vector<std::string> arguments) { return runCli(arguments, environment_); }

    // Runs `write` during the sleep numbered `sleep` (counting from 1), as the app would
    // answer while the client waits.
    void answerDuringSleep(int sleep, std::string content) {
        duringSleep_ = [this, sleep, content](int count) {
            if (count == sleep) {
                ASSERT_FALSE(writeFileAtomically(responseFile(), content, 0600));
            }
        };
    }

    static std::vector<Clock::Duration> polls(std::size_t count) {
        return std::vector<Clock::Duration>(count, milliseconds(100));
    }

    testing::TempDir temp_;
    const fs::path& root_ = temp_.path();
    VirtualClock clock_;
    std::ostringstream out_;
    std::ostringstream err_;
    CliEnvironment environment_{clock_, out_, err_};
    int sleepCount_ = 0;
    std::function<void(int)> duringSleep_;
};

// Usage, exit statuses and an unwritable command directory are checked through the
// program itself (app/ui/e2e).
TEST_F(CliRunnerTest, WritesThePrivateCommandFileThenTimesOutAfterTenSeconds) {
    const auto start = clock_.now();
    duringSleep_ = [this](int count) {
        if (count == 1) {
            // The file is in place, complete and private, before the first wait.
            struct stat info {};
            ASSERT_EQ(::stat(commandFile().c_str(), &info), 0);
            EXPECT_EQ(info.st_mode & 07777, 0600u);
            ASSERT_EQ(::stat(commandsDir().c_str(), &info), 0);
            EXPECT_EQ(info.st_mode & 07777, 0700u);
            auto text = readWholeFile(commandFile(), nullptr);
            ASSERT_TRUE(text);
            EXPECT_EQ(*text,
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

    EXPECT_EQ(clock_.sleeps(), polls(100));
    EXPECT_EQ(clock_.now() - start, std::chrono::seconds(10));
    EXPECT_EQ(err_.str(), "Error: Timeout waiting for response. Is Orvex running?\n");
    EXPECT_EQ(out_.str(), "");
    // Left for the app to carry out when it next starts.
    EXPECT_TRUE(fs::exists(commandFile()));
}

TEST_F(CliRunnerTest, PrintsTheResponseReEncodedAndDeletesIt) {
    answerDuringSleep(3, R"({"success":true,"id":"0F4E8C1A-2B3C-4D5E-8F90-A1B2C3D4E5F6",
        "error":null,"extra":1,"data":{"status":{"running":true,"language":"en","presetCount":2,
        "folderCount":0,"alwaysOnTop":false,"uptime":5}}})");

    EXPECT_EQ(run({"app.status"}), 0);

    auto expectedSleeps = polls(3);
    expectedSleeps.push_back(milliseconds(50));
    EXPECT_EQ(clock_.sleeps(), expectedSleeps);
    EXPECT_EQ(out_.str(),
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
    EXPECT_EQ(err_.str(), "");
    EXPECT_FALSE(fs::exists(responseFile()));
}

TEST_F(CliRunnerTest, UnreadableResponseIsRetriedUntilTheTimeout) {
    duringSleep_ = [this](int count) {
        if (count == 1) {
            fs::create_directory(responseFile());  // exists, but reading it fails
        }
    };
    const auto start = clock_.now();
    EXPECT_EQ(run({"preset.list"}), 1);
    // One plain poll, then settle + poll each round until ten seconds have passed.
    EXPECT_EQ(clock_.now() - start, milliseconds(100 + 66 * 150));
    EXPECT_EQ(clock_.sleeps().size(), 1u + 2 * 66);
    EXPECT_EQ(err_.str(), "Error: Timeout waiting for response. Is Orvex running?\n");
}

// Each of these gives up at once: nothing to wait for, or nothing that can come.
TEST_F(CliRunnerTest, FailuresThatEndWithoutWaitingOutTheTimeout) {
    const struct {
        const char* name;
        std::function<void()> arrange;
        std::vector<std::string> arguments;
        std::string errorStart;
        std::size_t sleeps;
    } cases[] = {
        {"undecodable answer: no answer, deleted",
         [this] { answerDuringSleep(2, R"({"id":"x","success":"yes"})"); },
         {"preset.list"},
         "Error: Timeout waiting for response. Is Orvex running?\n",
         3},
        {"no settings directory",
         [this] {
             environment_.resolvePaths = [] {
                 return AppPathsResult{std::nullopt, "No home directory: set HOME"};
             };
         },
         {"preset.list"},
         "Error: No home directory: set HOME\n",
         0},
        {"oversized command, refused before writing",
         [] {},
         {"preset.create", "--fixedPrompt", std::string(1 << 20, 'x')},
         "Error: Command too large: ",
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        duringSleep_ = nullptr;
        out_.str("");
        err_.str("");
        const std::size_t before = clock_.sleeps().size();
        c.arrange();
        EXPECT_EQ(run(c.arguments), 1);
        EXPECT_EQ(clock_.sleeps().size() - before, c.sleeps);
        EXPECT_TRUE(err_.str().starts_with(c.errorStart)) << err_.str();
        EXPECT_EQ(out_.str(), "");
        EXPECT_FALSE(fs::exists(responseFile()));
        EXPECT_TRUE(c.sleeps > 0 || !fs::exists(commandFile()));
        fs::remove_all(commandsDir());
    }
}

}  // namespace
}  // namespace orvex

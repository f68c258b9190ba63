// Runs the built orvex-cli program against a private XDG_CONFIG_HOME, with a small responder
// thread standing in for the app: it answers each command file the way the app does.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "base/app_paths.h"
#include "base/atomic_file.h"
#include "base/uuid.h"
#include "cli/core/usage_text.h"
#include "protocol/cli_command.h"
#include "protocol/cli_response.h"
#include "protocol/command_files.h"

extern char** environ;

namespace orvex {
namespace {

namespace fs = std::filesystem;

using Answer = std::function<CLIResponse(const CLICommand&)>;

// Watches the command directory with inotify and answers every command file in it.
class Responder {
  public:
    Responder(fs::path directory, Answer answer)
        : directory_(std::move(directory)), answer_(std::move(answer)) {
        inotify_ = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
        EXPECT_GE(inotify_, 0);
        EXPECT_GE(::inotify_add_watch(inotify_, directory_.c_str(), IN_MOVED_TO | IN_CLOSE_WRITE),
                  0);
        EXPECT_EQ(::pipe2(stopPipe_, O_CLOEXEC), 0);
        thread_ = std::thread([this] { loop(); });
    }
    ~Responder() {
        char byte = 0;
        EXPECT_EQ(::write(stopPipe_[1], &byte, 1), 1);
        thread_.join();
        ::close(inotify_);
        ::close(stopPipe_[0]);
        ::close(stopPipe_[1]);
    }

    int answered() const { return answered_; }

  private:
    void loop() {
        for (;;) {
            pollfd fds[2] = {{inotify_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0) {
                continue;
            }
            if (fds[1].revents) {
                return;
            }
            char buffer[4096];
            while (::read(inotify_, buffer, sizeof buffer) > 0) {
            }
            answerPending();
        }
    }

    void answerPending() {
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(directory_, error)) {
            if (!isCommandFileName(entry.path().filename().string())) {
                continue;
            }
            auto text = readWholeFile(entry.path(), nullptr, kMaxCommandFileBytes);
            fs::remove(entry.path(), error);
            if (!text) {
                continue;
            }
            auto command = decodeCLICommandText(*text);
            auto target =
                command.ok() ? responseFilePath(directory_, command.value->id) : std::nullopt;
            if (!target) {
                continue;
            }
            EXPECT_FALSE(writeFileAtomically(
                *target, encodeCLIResponseText(answer_(*command.value)), kExchangeFileMode));
            ++answered_;
        }
    }

    fs::path directory_;
    Answer answer_;
    int inotify_ = -1;
    int stopPipe_[2] = {-1, -1};
    std::atomic<int> answered_{0};
    std::thread thread_;
};

struct ProcessResult {
    int status = -1;
    std::string out;
    std::string err;
};

class OrvexCliBinaryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* binaryDir = std::getenv("ORVEX_BINARY_DIR");
        ASSERT_NE(binaryDir, nullptr) << "run through ctest, or set ORVEX_BINARY_DIR";
        binary_ = fs::path(binaryDir) / "bin" / "orvex-cli";
        ASSERT_TRUE(fs::exists(binary_)) << binary_;
        root_ = fs::temp_directory_path() / ("orvex-cli-bin-" + newUuid());
        ASSERT_TRUE(createPrivateDirectory(commandsDir(), nullptr));
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path commandsDir() const { return root_ / "orvex" / "commands"; }

    // Starts the program with XDG_CONFIG_HOME pointing at the private root; its output goes
    // to files named after `tag`.
    pid_t start(const std::vector<std::string>& arguments, const std::string& tag) {
        std::vector<std::string> strings{binary_.string()};
        strings.insert(strings.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (auto& s : strings) {
            argv.push_back(s.data());
        }
        argv.push_back(nullptr);

        std::vector<std::string> envStrings{"XDG_CONFIG_HOME=" + root_.string()};
        for (char** e = environ; *e; ++e) {
            if (!std::string_view(*e).starts_with("XDG_CONFIG_HOME=")) {
                envStrings.emplace_back(*e);
            }
        }
        std::vector<char*> envp;
        for (auto& s : envStrings) {
            envp.push_back(s.data());
        }
        envp.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        std::string outPath = (root_ / (tag + ".out")).string();
        std::string errPath = (root_ / (tag + ".err")).string();
        posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT, 0600);
        pid_t pid = -1;
        int rc = ::posix_spawn(&pid, binary_.c_str(), &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        EXPECT_EQ(rc, 0);
        return pid;
    }

    ProcessResult finish(pid_t pid, const std::string& tag) {
        ProcessResult result;
        int status = 0;
        EXPECT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status));
        result.status = WEXITSTATUS(status);
        result.out = readWholeFile(root_ / (tag + ".out"), nullptr).value_or("<missing>");
        result.err = readWholeFile(root_ / (tag + ".err"), nullptr).value_or("<missing>");
        return result;
    }

    ProcessResult run(const std::vector<std::string>& arguments) {
        return finish(start(arguments, "run"), "run");
    }

    fs::path binary_;
    fs::path root_;
};

CLIResponse echo(const CLICommand& command) {
    if (command.action == "preset.get") {
        return failureResponse(command.id, "Preset not found: " + command.params.at("id"));
    }
    CLIResponseData data;
    std::string message = "Got " + command.action;
    for (const auto& [key, value] : command.params) {
        message += " " + key + "=" + value;
    }
    data.message = message;
    return successResponse(command.id, data);
}

TEST_F(OrvexCliBinaryTest, PrintsTheAnswerAndLeavesNoFilesBehind) {
    Responder responder(commandsDir(), echo);
    auto result = run({"preset.create", "--label", "Notes", "--autoSend", "false"});

    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    auto printed = decodeCLIResponseText(result.out);
    ASSERT_TRUE(printed.ok()) << result.out;
    EXPECT_TRUE(isSafeCommandId(printed.value->id));
    EXPECT_EQ(result.out,
              "{\n"
              "  \"data\": {\n"
              "    \"message\": \"Got preset.create autoSend=false label=Notes\"\n"
              "  },\n"
              "  \"id\": \"" +
                  printed.value->id +
                  "\",\n"
                  "  \"success\": true\n"
                  "}\n");
    EXPECT_TRUE(fs::is_empty(commandsDir()));
}

TEST_F(OrvexCliBinaryTest, FailedActionExitsOne) {
    Responder responder(commandsDir(), echo);
    auto result = run({"preset.get", "--id", "42"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.out.find("\"error\": \"Preset not found: 42\""), std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("\"success\": false"), std::string::npos);
    EXPECT_EQ(result.err, "");
}

TEST_F(OrvexCliBinaryTest, ManyClientsAtOnceEachGetTheirOwnAnswer) {
    Responder responder(commandsDir(), echo);
    constexpr int kClients = 8;
    std::vector<pid_t> pids;
    for (int i = 0; i < kClients; ++i) {
        pids.push_back(start({"preset.update", "--id", std::to_string(i)}, std::to_string(i)));
    }
    for (int i = 0; i < kClients; ++i) {
        auto result = finish(pids[i], std::to_string(i));
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_NE(
            result.out.find("\"message\": \"Got preset.update id=" + std::to_string(i) + "\""),
            std::string::npos)
            << result.out;
    }
    EXPECT_EQ(responder.answered(), kClients);
}

TEST_F(OrvexCliBinaryTest, UsageAndExitStatus) {
    auto bare = run({});
    EXPECT_EQ(bare.status, 1);
    EXPECT_EQ(bare.out, usageText());
    auto help = run({"-h"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, usageText());
    EXPECT_TRUE(fs::is_empty(commandsDir()));
}

TEST_F(OrvexCliBinaryTest, UnwritableCommandDirectoryIsReported) {
    fs::remove(commandsDir());
    std::ofstream(commandsDir()) << "not a directory";
    auto result = run({"preset.list"});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.err.starts_with("Error: Cannot write command file: ")) << result.err;
    EXPECT_EQ(result.out, "");
}

}  // namespace
}  // namespace orvex

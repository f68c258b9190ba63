#pragma once

// What the reliability trials share: their argument parsing, a headless Orvex of their
// own, and orvex-cli calls whose answers come back parsed.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "base/json.h"
#include "testing/child_process.h"
#include "testing/source_tree.h"

namespace orvex::trials {

// The positional argument `index` as a positive number, or `fallback` when it is absent.
inline long argumentOr(int argc, char** argv, int index, long fallback) {
    if (argc <= index) {
        return fallback;
    }
    char* end = nullptr;
    long value = std::strtol(argv[index], &end, 10);
    if (*end != '\0' || value <= 0) {
        std::fprintf(stderr, "%s: not a positive number: %s\n", argv[0], argv[index]);
        std::exit(2);
    }
    return value;
}

// One orvex-cli call: its exit code and its answer (null when it printed none).
struct CliAnswer {
    int exitCode = -1;
    Json answer;
    std::string err;
    bool success() const { return answer.is_object() && answer.value("success", false); }
};

inline CliAnswer runCli(const std::filesystem::path& configHome,
                        const std::vector<std::string>& arguments) {
    std::vector<std::string> command{testing::builtProgram("orvex-cli")};
    command.insert(command.end(), arguments.begin(), arguments.end());
    auto result = testing::runChild(command, {{"XDG_CONFIG_HOME", configHome.string()}},
                                    std::chrono::seconds(30));
    CliAnswer answer{result.exitCode, nullptr, result.err};
    if (auto parsed = parseJson(result.out); parsed.value) {
        answer.answer = std::move(*parsed.value);
    }
    return answer;
}

// A headless Orvex with no desktop, its standard output in `logFile`; stopped (SIGTERM,
// then waited for) when this goes away.
class HeadlessOrvex {
  public:
    HeadlessOrvex(const std::filesystem::path& configHome, const std::filesystem::path& logFile)
        : configHome_(configHome) {
        std::vector<std::string> env = testing::mergedEnvironment(
            {{"XDG_CONFIG_HOME", configHome.string()}, {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}});
        std::vector<char*> envp, argv;
        for (auto& entry : env) {
            envp.push_back(entry.data());
        }
        envp.push_back(nullptr);
        std::string program = testing::builtProgram("orvex"), headless = "--headless";
        argv = {program.data(), headless.data(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
    }
    ~HeadlessOrvex() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    HeadlessOrvex(const HeadlessOrvex&) = delete;
    HeadlessOrvex& operator=(const HeadlessOrvex&) = delete;

    // Whether it answers app.status (orvex-cli itself waits up to ten seconds).
    bool answers() const { return pid_ > 0 && runCli(configHome_, {"app.status"}).success(); }
    bool stillRunning() const { return pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0; }

  private:
    std::filesystem::path configHome_;
    pid_t pid_ = -1;
};

}  // namespace orvex::trials

// Start-up and memory of Orvex with and without its windows, on the simulated demo desktop:
// process start to the first command answered, start to the main window on screen (asked
// for with window.show as soon as commands are answered), and resident memory headless,
// with the window shown and with it hidden. Medians of several fresh starts.
//
//   scripts/with-desktop-session build/bin/startup_bench
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "protocol/cli_command.h"
#include "protocol/command_files.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kRuns = 5;
constexpr auto kPoll = 5ms;
constexpr auto kLimit = 30s;

fs::path binDir() {
    return fs::read_symlink("/proc/self/exe").parent_path();
}

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

long residentKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

// One Orvex on a private configuration directory.
class Orvex {
  public:
    Orvex(const fs::path& root, bool windows) : config_(root / "config") {
        fs::create_directories(config_ / "orvex");
        // No tutorial, so nothing but the bench decides when the window shows.
        std::ofstream(config_ / "orvex" / "settings.json")
            << R"({"language": "en", "presets": [], "tutorialCompleted": true})";
        std::vector<std::string> args{
            (binDir() / "orvex").string(), "--desktop",
            "sim:" + (fs::path(ORVEX_SOURCE_DIR) / "desktop/sim/scenarios/demo.json").string()};
        if (!windows) {
            args.push_back("--headless");
        }
        std::vector<std::string> env{"XDG_CONFIG_HOME=" + config_.string(),
                                     "XDG_DATA_HOME=" + (root / "data").string()};
        for (char** entry = environ; *entry; ++entry) {
            std::string text(*entry);
            if (text.rfind("XDG_CONFIG_HOME=", 0) != 0 && text.rfind("XDG_DATA_HOME=", 0) != 0) {
                env.push_back(text);
            }
        }
        std::vector<char*> argv, envp;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        for (auto& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        started_ = Clock::now();
        posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Orvex() {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    pid_t pid() const { return pid_; }
    Clock::time_point started() const { return started_; }

    // Writes the command file and waits for its answer; false after the limit.
    bool command(const std::string& action, int serial) {
        const fs::path dir = config_ / "orvex" / "commands";
        const std::string id = "BENCH-" + std::to_string(serial);
        const auto deadline = Clock::now() + kLimit;
        while (!fs::exists(dir)) {
            if (Clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(kPoll);
        }
        const fs::path temporary = dir / (id + ".tmp");
        std::ofstream(temporary) << orvex::encodeCLICommandText({id, action, {}});
        fs::rename(temporary, dir / orvex::commandFileName(id));
        const fs::path answer = dir / orvex::responseFileName(id);
        while (!fs::exists(answer)) {
            if (Clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(kPoll);
        }
        return true;
    }

  private:
    fs::path config_;
    pid_t pid_ = -1;
    Clock::time_point started_;
};

bool mainWindowOnScreen() {
    return std::system("xdotool search --onlyvisible --name '^Orvex$' >/dev/null 2>&1") == 0;
}

bool waitFor(bool (*condition)()) {
    const auto deadline = Clock::now() + kLimit;
    while (!condition()) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(kPoll);
    }
    return true;
}

}  // namespace

int main() {
    const fs::path root =
        fs::temp_directory_path() / ("orvex-startup-bench-" + std::to_string(getpid()));
    std::vector<double> headlessAnswer, windowsAnswer, windowShown;
    std::vector<double> headlessMemory, shownMemory, hiddenMemory;
    int serial = 0;
    for (int run = 0; run < kRuns; ++run) {
        {
            Orvex orvex(root / ("h" + std::to_string(run)), false);
            if (!orvex.command("app.status", ++serial)) {
                std::fprintf(stderr, "startup_bench: headless Orvex did not answer\n");
                return 1;
            }
            headlessAnswer.push_back(millisecondsSince(orvex.started()));
            std::this_thread::sleep_for(1s);
            headlessMemory.push_back(residentKiB(orvex.pid()) / 1024.0);
        }
        {
            Orvex orvex(root / ("w" + std::to_string(run)), true);
            if (!orvex.command("app.status", ++serial)) {
                std::fprintf(stderr, "startup_bench: Orvex with windows did not answer\n");
                return 1;
            }
            windowsAnswer.push_back(millisecondsSince(orvex.started()));
            if (!orvex.command("window.show", ++serial) || !waitFor(mainWindowOnScreen)) {
                std::fprintf(stderr, "startup_bench: the main window did not show\n");
                return 1;
            }
            windowShown.push_back(millisecondsSince(orvex.started()));
            std::this_thread::sleep_for(1s);
            shownMemory.push_back(residentKiB(orvex.pid()) / 1024.0);
            orvex.command("window.hide", ++serial);
            std::this_thread::sleep_for(1s);
            hiddenMemory.push_back(residentKiB(orvex.pid()) / 1024.0);
        }
    }
    fs::remove_all(root);
    std::printf("Orvex start-up on the simulated demo desktop, median of %d fresh starts\n", kRuns);
    std::printf("%-44s %10s %10s\n", "", "headless", "windows");
    std::printf("%-44s %8.0f ms %8.0f ms\n", "start to the first command answered",
                median(headlessAnswer), median(windowsAnswer));
    std::printf("%-44s %10s %8.0f ms\n", "start to the main window on screen", "-",
                median(windowShown));
    std::printf("%-44s %7.1f MiB %7.1f MiB\n", "resident memory (window shown)",
                median(headlessMemory), median(shownMemory));
    std::printf("%-44s %10s %7.1f MiB\n", "resident memory (window hidden)", "-",
                median(hiddenMemory));
    return 0;
}

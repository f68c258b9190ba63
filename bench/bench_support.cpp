#include "bench/bench_support.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

extern char** environ;

namespace orvex::bench {

namespace fs = std::filesystem;

double millisecondsSince(SteadyClock::time_point start) {
    return std::chrono::duration<double, std::milli>(SteadyClock::now() - start).count();
}

double median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

fs::path binDir() {
    return fs::read_symlink("/proc/self/exe").parent_path();
}

std::vector<std::string> environmentWith(const std::vector<std::string>& overrides) {
    std::vector<std::string> result;
    std::copy_if(overrides.begin(), overrides.end(), std::back_inserter(result),
                 [](const std::string& o) { return o.find('=') != std::string::npos; });
    for (char** entry = environ; *entry; ++entry) {
        const std::string text(*entry);
        const std::string name = text.substr(0, text.find('=') + 1);
        const bool replaced = std::any_of(
            overrides.begin(), overrides.end(),
            [&](const std::string& o) { return o.starts_with(name) || o + "=" == name; });
        if (!replaced) {
            result.push_back(text);
        }
    }
    return result;
}

Process::Process(const std::vector<std::string>& command,
                 const std::vector<std::string>& environment) {
    std::vector<std::string> args = command, env = environment;
    std::vector<char*> argv, envp;
    for (auto& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    for (auto& entry : env) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    startedAt_ = SteadyClock::now();
    if (posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
        pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
}

Process::~Process() {
    if (pid_ > 0 && !waited_) {
        kill(pid_, SIGTERM);
        wait();
    }
}

int Process::wait() {
    int status = 0;
    if (pid_ <= 0 || waitpid(pid_, &status, 0) != pid_) {
        return -1;
    }
    waited_ = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::optional<double> timedRun(const std::vector<std::string>& command,
                               const std::vector<std::string>& environment) {
    Process process(command, environment);
    if (!process.started() || process.wait() != 0) {
        return std::nullopt;
    }
    return millisecondsSince(process.startedAt());
}

namespace {

// One field of /proc/<pid>/status ("VmRSS:", "voluntary_ctxt_switches:"), as a number.
long statusField(const fs::path& statusFile, const std::string& name) {
    std::ifstream status(statusFile);
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with(name)) {
            return std::stol(line.substr(name.size()));
        }
    }
    return 0;
}

std::vector<fs::path> threadDirectories(pid_t pid) {
    std::vector<fs::path> threads;
    std::error_code error;
    for (const auto& entry :
         fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
        threads.push_back(entry.path());
    }
    return threads;
}

}  // namespace

double residentMiB(pid_t pid) {
    return statusField("/proc/" + std::to_string(pid) + "/status", "VmRSS:") / 1024.0;
}

std::map<pid_t, ThreadUsage> threadUsage(pid_t pid) {
    std::map<pid_t, ThreadUsage> usage;
    for (const fs::path& thread : threadDirectories(pid)) {
        ThreadUsage& entry = usage[static_cast<pid_t>(std::stol(thread.filename().string()))];
        // schedstat's first field: nanoseconds on a CPU, where /proc/<pid>/stat only has
        // clock ticks of 10 ms.
        std::ifstream(thread / "schedstat") >> entry.runNanoseconds;
        entry.switches = statusField(thread / "status", "voluntary_ctxt_switches:") +
                         statusField(thread / "status", "nonvoluntary_ctxt_switches:");
    }
    return usage;
}

UsageDelta usageBetween(const std::map<pid_t, ThreadUsage>& before,
                        const std::map<pid_t, ThreadUsage>& after) {
    UsageDelta delta;
    for (const auto& [tid, now] : after) {
        const auto earlier = before.find(tid);
        const ThreadUsage start = earlier == before.end() ? ThreadUsage{} : earlier->second;
        delta.cpuMilliseconds +=
            static_cast<double>(now.runNanoseconds - start.runNanoseconds) / 1e6;
        delta.wakeUps += now.switches - start.switches;
    }
    for (const auto& [tid, usage] : before) {
        delta.threadsEnded += after.count(tid) ? 0 : 1;
    }
    return delta;
}

void printRow(const std::string& what, const std::string& figure, const std::string& goal,
              const std::string& peer, const std::string& met) {
    std::printf("ROW\t%s\t%s\t%s\t%s\t%s\n", what.c_str(), figure.c_str(), goal.c_str(),
                peer.c_str(), met.c_str());
    std::fflush(stdout);
}

std::string format(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

}  // namespace orvex::bench

namespace orvex::bench {

std::vector<PresetItem> samplePresets(int count) {
    const std::string keys = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::vector<PresetItem> items;
    std::optional<std::string> folder;
    for (int index = 0; index < count; ++index) {
        if (index % 10 == 0) {
            FolderItem item;
            item.id = "folder-" + std::to_string(index / 10);
            item.label = "Folder " + std::to_string(index / 10);
            folder = item.id;
            items.push_back(PresetItem{item});
        }
        PresetData preset;
        preset.id = "preset-" + std::to_string(index);
        preset.label = "Preset " + std::to_string(index);
        preset.folderId = folder;
        preset.fixedPrompt =
            "Summarise the following in three sentences (" + std::to_string(index) + "):";
        if (index % 3 == 0) {
            preset.destinations = {"chatgpt-app", "claude-web"};
        }
        if (index < static_cast<int>(keys.size())) {
            preset.shortcut = std::string("CommandOrControl+Alt+") + keys[index];
        } else if (index < static_cast<int>(keys.size()) + 26) {
            preset.shortcut = std::string("CommandOrControl+Shift+") + keys[index - keys.size()];
        }
        items.push_back(PresetItem{preset});
    }
    return items;
}

}  // namespace orvex::bench

#include <poll.h>
#include <sys/inotify.h>

#include <thread>

#include "app/store/settings_manager.h"
#include "protocol/cli_command.h"
#include "protocol/command_files.h"

namespace orvex::bench {

OrvexUnderTest::OrvexUnderTest(const fs::path& root, const std::vector<std::string>& arguments,
                               const std::vector<PresetItem>& presets,
                               const std::vector<std::string>& environment) {
    const fs::path config = root / "config";
    fs::create_directories(config / "orvex");
    commands_ = config / "orvex" / "commands";
    SettingsManager(config / "orvex" / "settings.json").save(AppSettings{presets, true, "en"});
    clientEnvironment_ = environmentWith({"XDG_CONFIG_HOME=" + config.string()});
    std::vector<std::string> overrides = environment;
    overrides.push_back("XDG_CONFIG_HOME=" + config.string());
    overrides.push_back("XDG_DATA_HOME=" + (root / "data").string());
    std::vector<std::string> command{(binDir() / "orvex").string()};
    command.insert(command.end(), arguments.begin(), arguments.end());
    process_ = std::make_unique<Process>(command, environmentWith(overrides));
}

std::optional<double> OrvexUnderTest::command(const std::string& action) {
    using namespace std::chrono_literals;
    const auto deadline = SteadyClock::now() + 30s;
    while (!fs::exists(commands_)) {
        if (SteadyClock::now() > deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(2ms);
    }
    const int watch = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    inotify_add_watch(watch, commands_.c_str(), IN_MOVED_TO | IN_CLOSE_WRITE);
    const std::string id = "BENCH-" + std::to_string(getpid()) + "-" + std::to_string(++serial_);
    const std::string answer = responseFileName(id);
    const fs::path temporary = commands_ / (id + ".tmp");
    std::ofstream(temporary) << encodeCLICommandText({id, action, {}});
    const SteadyClock::time_point placed = SteadyClock::now();
    fs::rename(temporary, commands_ / commandFileName(id));
    std::optional<double> result;
    alignas(inotify_event) char buffer[8192];
    while (!result && SteadyClock::now() < deadline) {
        pollfd ready{watch, POLLIN, 0};
        if (poll(&ready, 1, 100) <= 0) {
            continue;
        }
        const ssize_t length = read(watch, buffer, sizeof buffer);
        for (ssize_t offset = 0; offset < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            if (event->len && answer == event->name) {
                result = millisecondsSince(placed);
            }
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    close(watch);
    std::error_code ignored;
    fs::remove(commands_ / answer, ignored);
    return result;
}

}  // namespace orvex::bench

namespace orvex::bench {

CopyqServer::CopyqServer(const fs::path& root) {
    using namespace std::chrono_literals;
    fs::create_directories(root / "config");
    environment_ = environmentWith({"XDG_CONFIG_HOME=" + (root / "config").string(),
                                    "XDG_DATA_HOME=" + (root / "data").string(),
                                    "COPYQ_SESSION_NAME=orvexbench"});
    server_ = std::make_unique<Process>(std::vector<std::string>{"copyq"}, environment_);
    const auto deadline = SteadyClock::now() + 30s;
    while (server_->started() && SteadyClock::now() < deadline) {
        if (roundTripMs()) {
            firstAnswer_ = millisecondsSince(server_->startedAt());
            break;
        }
        std::this_thread::sleep_for(5ms);
    }
}

CopyqServer::~CopyqServer() {
    timedRun({"copyq", "exit"}, environment_);
}

std::optional<double> CopyqServer::roundTripMs() const {
    return timedRun({"copyq", "size"}, environment_);
}

}  // namespace orvex::bench

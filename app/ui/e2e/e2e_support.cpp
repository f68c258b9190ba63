#include "app/ui/e2e/e2e_support.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <map>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace orvex::e2e {
namespace {

std::string environmentValue(const char* name, const std::string& fallback = {}) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : fallback;
}

std::atomic<int> outputCounter{0};

}  // namespace

std::filesystem::path binaryDirectory() {
    std::string dir = environmentValue("ORVEX_BINARY_DIR");
    if (dir.empty()) {
        throw std::runtime_error("ORVEX_BINARY_DIR is not set (run the tests through ctest)");
    }
    return dir;
}

std::filesystem::path sourceDirectory() {
    std::string dir = environmentValue("ORVEX_SOURCE_DIR");
    if (dir.empty()) {
        throw std::runtime_error("ORVEX_SOURCE_DIR is not set (run the tests through ctest)");
    }
    return dir;
}

std::filesystem::path orvexProgram() {
    return binaryDirectory() / "bin" / "orvex";
}

std::filesystem::path cliProgram() {
    return binaryDirectory() / "bin" / "orvex-cli";
}

std::filesystem::path demoScenario() {
    return sourceDirectory() / "desktop/sim/scenarios/demo.json";
}

void writeFileAtomically(const std::filesystem::path& path, const std::string& text) {
    auto temp = path;
    temp += ".tmp-e2e";
    {
        std::ofstream out(temp, std::ios::binary);
        out << text;
    }
    ::chmod(temp.c_str(), 0600);
    std::filesystem::rename(temp, path);
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
    auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

Sandbox::Sandbox() {
    std::filesystem::create_directories(root() / "home");
    std::filesystem::create_directories(configHome());
}

std::vector<std::string> Sandbox::environment(const std::vector<std::string>& extra) const {
    std::map<std::string, std::string> values{
        {"PATH", environmentValue("PATH", "/usr/bin:/bin")},
        {"HOME", (root() / "home").string()},
        {"XDG_CONFIG_HOME", configHome().string()},
        {"LANG", "en_US.UTF-8"},
    };
    // Sanitizer builds keep their settings.
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "TSAN_OPTIONS", "LSAN_OPTIONS"}) {
        if (const char* value = std::getenv(name)) {
            values[name] = value;
        }
    }
    for (const std::string& entry : extra) {
        auto equals = entry.find('=');
        values[entry.substr(0, equals)] =
            equals == std::string::npos ? "" : entry.substr(equals + 1);
    }
    std::vector<std::string> result;
    for (const auto& [name, value] : values) {
        result.push_back(name + "=" + value);
    }
    return result;
}

ChildProcess::ChildProcess(const std::filesystem::path& program,
                           const std::vector<std::string>& arguments,
                           const std::vector<std::string>& environment,
                           const std::filesystem::path& outputFile,
                           const std::filesystem::path& errorFile)
    : outputFile_(outputFile), errorFile_(errorFile) {
    std::vector<std::string> argvStrings{program.string()};
    argvStrings.insert(argvStrings.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& argument : argvStrings) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> envStrings = environment;
    std::vector<char*> envp;
    for (auto& entry : envStrings) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    int error = ::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        throw std::runtime_error("cannot start " + program.string());
    }
}

ChildProcess::~ChildProcess() {
    if (running()) {
        ::kill(pid_, SIGKILL);
        wait(10000ms);
    }
}

bool ChildProcess::running() {
    if (status_) {
        return false;
    }
    int raw = 0;
    pid_t done = ::waitpid(pid_, &raw, WNOHANG);
    if (done == pid_) {
        status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        return false;
    }
    return done == 0;
}

void ChildProcess::signal(int number) {
    if (running()) {
        ::kill(pid_, number);
    }
}

std::optional<int> ChildProcess::wait(std::chrono::milliseconds deadline) {
    waitUntil([this] { return !running(); }, deadline);
    return status_;
}

bool CliResult::success() const {
    return json.is_object() && json.value("success", false);
}

std::string CliResult::message() const {
    if (json.is_object() && json.contains("data") && json["data"].contains("message")) {
        return json["data"]["message"].get<std::string>();
    }
    return {};
}

std::string CliResult::error() const {
    if (json.is_object() && json.contains("error")) {
        return json["error"].get<std::string>();
    }
    return {};
}

CliResult runCli(const Sandbox& sandbox, const std::vector<std::string>& arguments,
                 const std::vector<std::string>& extraEnvironment) {
    int n = outputCounter++;
    auto out = sandbox.root() / ("cli-" + std::to_string(n) + ".out");
    auto err = sandbox.root() / ("cli-" + std::to_string(n) + ".err");
    CliResult result;
    {
        ChildProcess cli(cliProgram(), arguments, sandbox.environment(extraEnvironment), out, err);
        result.status = cli.wait(60000ms).value_or(-1);
    }
    result.output = readText(out);
    result.errors = readText(err);
    auto parsed = parseJson(result.output);
    if (parsed.value) {
        result.json = *parsed.value;
    }
    return result;
}

Orvex::Orvex(Sandbox& sandbox, const std::vector<std::string>& arguments,
             const std::vector<std::string>& extraEnvironment) {
    std::vector<std::string> all{"--verbose"};
    all.insert(all.end(), arguments.begin(), arguments.end());
    int n = outputCounter++;
    process_ =
        std::make_unique<ChildProcess>(orvexProgram(), all, sandbox.environment(extraEnvironment),
                                       sandbox.root() / ("orvex-" + std::to_string(n) + ".out"),
                                       sandbox.root() / ("orvex-" + std::to_string(n) + ".err"));
    started_ =
        waitUntil([this] {
            return output().find("orvex: running") != std::string::npos || !process_->running();
        }) &&
        process_->running();
}

bool Orvex::logContains(const std::string& text) const {
    return log().find(text) != std::string::npos;
}

std::optional<int> Orvex::stop() {
    process_->signal(SIGTERM);
    return process_->wait();
}

}  // namespace orvex::e2e

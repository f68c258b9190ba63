#include "app/ui/e2e/e2e_support.h"

#include <signal.h>
#include <sys/wait.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "testing/source_tree.h"

namespace orvex::e2e {
namespace {

// The exit status of a child that has ended, leaving it to be reaped by its owner.
std::optional<int> exitStatus(pid_t pid) {
    siginfo_t info{};
    if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0 ||
        info.si_pid != pid) {
        return std::nullopt;
    }
    return info.si_code == CLD_EXITED ? info.si_status : 128 + info.si_status;
}

}  // namespace

std::filesystem::path demoScenario() {
    return testing::sourceDir() / "desktop/sim/scenarios/demo.json";
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
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
    std::filesystem::create_directories(root() / "config");
}

Strings Sandbox::command(const std::string& program, const Strings& arguments,
                         const Strings& extra) const {
    const char* path = std::getenv("PATH");
    Strings command{"/usr/bin/env",
                    "-i",
                    std::string("PATH=") + (path ? path : "/usr/bin:/bin"),
                    "HOME=" + (root() / "home").string(),
                    "XDG_CONFIG_HOME=" + (root() / "config").string(),
                    "LANG=en_US.UTF-8"};
    // Sanitizer builds keep their settings.
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "TSAN_OPTIONS", "LSAN_OPTIONS"}) {
        if (const char* value = std::getenv(name)) {
            command.push_back(std::string(name) + "=" + value);
        }
    }
    command.insert(command.end(), extra.begin(), extra.end());
    command.push_back(testing::builtProgram(program));
    command.insert(command.end(), arguments.begin(), arguments.end());
    return command;
}

testing::ChildResult Sandbox::run(const std::string& program, const Strings& arguments,
                                  const Strings& extra) const {
    return testing::runChild(command(program, arguments, extra), {}, 60s);
}

CliResult runCli(const Sandbox& sandbox, const Strings& arguments) {
    testing::ChildResult run = sandbox.run("orvex-cli", arguments);
    auto parsed = parseJson(run.out);
    return CliResult{run.exitCode, run.out, run.err, parsed.value.value_or(nullptr)};
}

Orvex::Orvex(const Sandbox& sandbox, const Strings& arguments, const Strings& extraEnvironment) {
    static std::atomic<int> started{0};
    const std::string files = (sandbox.root() / ("orvex-" + std::to_string(started++))).string();
    output_ = files + ".out";
    log_ = files + ".err";
    Strings all{"--verbose"};
    all.insert(all.end(), arguments.begin(), arguments.end());
    Strings command{"/bin/sh", "-c", R"(exec "$@" >"$0.out" 2>"$0.err")", files};
    for (std::string& part : sandbox.command("orvex", all, extraEnvironment)) {
        command.push_back(std::move(part));
    }
    process_ =
        std::make_unique<testing::BackgroundChild>(command, std::map<std::string, std::string>{});
    const pid_t pid = process_->pid();
    started_ = pid > 0 && waitUntil([&] {
                   return output().find("orvex: running") != std::string::npos || exitStatus(pid);
               }) &&
               !exitStatus(pid);
}

Orvex::~Orvex() {
    signal(SIGKILL);
}

void Orvex::signal(int number) {
    if (process_->pid() > 0 && !exitStatus(process_->pid())) {
        ::kill(process_->pid(), number);
    }
}

std::optional<int> Orvex::wait(std::chrono::milliseconds deadline) {
    waitUntil([this] { return exitStatus(process_->pid()).has_value(); }, deadline);
    return exitStatus(process_->pid());
}

std::optional<int> Orvex::stop() {
    signal(SIGTERM);
    return wait();
}

}  // namespace orvex::e2e

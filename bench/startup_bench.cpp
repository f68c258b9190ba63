// Start-up, memory and idle cost of Orvex with and without its windows, on the simulated
// demo desktop: process start to the first command answered, start to the main window on
// screen (asked for with window.show as soon as commands are answered), resident memory,
// and the CPU time and wake-ups of an idle minute. With --peer, CopyQ's server beside it:
// start to its first answer, its memory and its idle minute. Medians of fresh starts.
//
//   scripts/with-desktop-session build/bin/startup_bench [--runs N] [--idle SECONDS] [--peer]
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_support.h"

namespace {

using namespace orvex::bench;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

std::vector<std::string> demoArguments(bool windows) {
    std::vector<std::string> arguments{
        "--desktop",
        "sim:" + (fs::path(ORVEX_SOURCE_DIR) / "desktop/sim/scenarios/demo.json").string()};
    if (!windows) {
        arguments.push_back("--headless");
    }
    return arguments;
}

bool mainWindowOnScreen() {
    return std::system("xdotool search --onlyvisible --name '^Orvex$' >/dev/null 2>&1") == 0;
}

bool waitForMainWindow() {
    const auto deadline = SteadyClock::now() + 30s;
    while (!mainWindowOnScreen()) {
        if (SteadyClock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

// What the processes cost over `seconds` of doing nothing, measured side by side.
std::vector<UsageDelta> idleCost(const std::vector<pid_t>& pids, int seconds) {
    std::vector<std::map<pid_t, ThreadUsage>> before;
    for (pid_t pid : pids) {
        before.push_back(threadUsage(pid));
    }
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    std::vector<UsageDelta> cost;
    for (std::size_t i = 0; i < pids.size(); ++i) {
        cost.push_back(usageBetween(before[i], threadUsage(pids[i])));
    }
    return cost;
}

std::string idleText(const UsageDelta& idle) {
    return format("%.2f ms CPU", idle.cpuMilliseconds) + ", " + std::to_string(idle.wakeUps) +
           " wake-ups" +
           (idle.threadsEnded ? ", " + std::to_string(idle.threadsEnded) + " threads ended" : "");
}

// Below a millisecond a minute, a wake-up costs nothing one could measure on the machine.
bool idleMet(const UsageDelta& idle) {
    return idle.cpuMilliseconds < 1 && idle.threadsEnded == 0;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 5, idleSeconds = 60;
    bool withPeer = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
            runs = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--idle") == 0 && i + 1 < argc) {
            idleSeconds = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--peer") == 0) {
            withPeer = true;
        }
    }
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "startup_bench: run inside scripts/with-desktop-session\n");
        return 2;
    }
    const fs::path root =
        fs::temp_directory_path() / ("orvex-startup-bench-" + std::to_string(getpid()));
    std::vector<double> headlessAnswer, windowsAnswer, windowShown, peerAnswer;
    std::vector<double> headlessMemory, shownMemory, hiddenMemory, peerMemory;
    for (int run = 0; run < runs; ++run) {
        const std::string name = std::to_string(run);
        {
            OrvexUnderTest orvex(root / ("h" + name), demoArguments(false), {});
            if (!orvex.command("app.status")) {
                std::fprintf(stderr, "startup_bench: headless Orvex did not answer\n");
                return 1;
            }
            headlessAnswer.push_back(millisecondsSince(orvex.startedAt()));
            std::this_thread::sleep_for(1s);
            headlessMemory.push_back(residentMiB(orvex.pid()));
        }
        {
            OrvexUnderTest orvex(root / ("w" + name), demoArguments(true), {});
            if (!orvex.command("app.status")) {
                std::fprintf(stderr, "startup_bench: Orvex with windows did not answer\n");
                return 1;
            }
            windowsAnswer.push_back(millisecondsSince(orvex.startedAt()));
            if (!orvex.command("window.show") || !waitForMainWindow()) {
                std::fprintf(stderr, "startup_bench: the main window did not show\n");
                return 1;
            }
            windowShown.push_back(millisecondsSince(orvex.startedAt()));
            std::this_thread::sleep_for(1s);
            shownMemory.push_back(residentMiB(orvex.pid()));
            orvex.command("window.hide");
            std::this_thread::sleep_for(1s);
            hiddenMemory.push_back(residentMiB(orvex.pid()));
        }
        if (withPeer) {
            CopyqServer copyq(root / ("c" + name));
            if (!copyq.firstAnswerMs()) {
                std::fprintf(stderr, "startup_bench: CopyQ did not answer; no peer figures\n");
                withPeer = false;
                continue;
            }
            peerAnswer.push_back(*copyq.firstAnswerMs());
            std::this_thread::sleep_for(1s);
            peerMemory.push_back(residentMiB(copyq.pid()));
        }
    }

    std::vector<UsageDelta> idle;
    if (idleSeconds > 0) {
        OrvexUnderTest headless(root / "idle-h", demoArguments(false), {});
        OrvexUnderTest windows(root / "idle-w", demoArguments(true), {});
        std::unique_ptr<CopyqServer> copyq;
        if (withPeer) {
            copyq = std::make_unique<CopyqServer>(root / "idle-c");
        }
        if (!headless.command("app.status") || !windows.command("window.show")) {
            std::fprintf(stderr, "startup_bench: Orvex did not answer before the idle minute\n");
            return 1;
        }
        std::this_thread::sleep_for(3s);  // let start-up's own work end
        std::vector<pid_t> pids{headless.pid(), windows.pid()};
        if (copyq) {
            pids.push_back(copyq->pid());
        }
        idle = idleCost(pids, idleSeconds);
    }
    fs::remove_all(root);

    const auto peer = [&](const std::vector<double>& values, const char* pattern) {
        return withPeer && !values.empty() ? "CopyQ " + format(pattern, median(values))
                                           : std::string("-");
    };
    std::printf("median of %d fresh starts on the simulated demo desktop\n", runs);
    printRow("start to first answer, headless", format("%.0f ms", median(headlessAnswer)), "-",
             peer(peerAnswer, "%.0f ms"), "-");
    printRow("start to first answer, with windows", format("%.0f ms", median(windowsAnswer)), "-",
             peer(peerAnswer, "%.0f ms"), "-");
    printRow("start to main window on screen", format("%.0f ms", median(windowShown)), "-", "-",
             "-");
    printRow("resident memory, headless", format("%.1f MiB", median(headlessMemory)), "-",
             peer(peerMemory, "%.1f MiB"), "-");
    printRow("resident memory, window shown", format("%.1f MiB", median(shownMemory)), "-",
             peer(peerMemory, "%.1f MiB"), "-");
    printRow("resident memory, window hidden", format("%.1f MiB", median(hiddenMemory)), "-", "-",
             "-");
    if (!idle.empty()) {
        const std::string goal = "under 1 ms of CPU in " + std::to_string(idleSeconds) + " s";
        const std::string peerIdle = idle.size() > 2 ? "CopyQ " + idleText(idle[2]) : "-";
        printRow("idle, headless", idleText(idle[0]), goal, peerIdle,
                 idleMet(idle[0]) ? "yes" : "no");
        printRow("idle, window shown", idleText(idle[1]), goal, peerIdle,
                 idleMet(idle[1]) ? "yes" : "no");
    }
    return 0;
}

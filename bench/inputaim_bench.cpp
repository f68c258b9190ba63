// Times the input search on a large and a small GTK window against a naive walk that asks
// role, states, extents and children of every element, one query at a time.
//
//   scripts/with-desktop-session build/bin/inputaim_bench
//
// Each measurement runs in a fresh process, as inputaim does, so no run inherits another's
// caches. The window is searched by our code first, while the toolkit is still cold.
#include <atspi/atspi.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "desktop/linux/atspi_desktop.h"
#include "tools/inputaim/input_search.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string binDir() {
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return ".";
    path[n] = '\0';
    std::string self(path);
    return self.substr(0, self.rfind('/'));
}

// ---- naive walk, in its own process -------------------------------------------------

int naiveCount = 0;

void naiveWalk(AtspiAccessible* node) {
    ++naiveCount;
    atspi_accessible_get_role(node, nullptr);
    g_object_unref(atspi_accessible_get_state_set(node));
    if (AtspiComponent* component = atspi_accessible_get_component_iface(node)) {
        g_free(atspi_component_get_extents(component, ATSPI_COORD_TYPE_SCREEN, nullptr));
        g_object_unref(component);
    }
    int count = atspi_accessible_get_child_count(node, nullptr);
    for (int i = 0; i < count; ++i) {
        if (AtspiAccessible* child = atspi_accessible_get_child_at_index(node, i, nullptr)) {
            naiveWalk(child);
            g_object_unref(child);
        }
    }
}

int runNaive(pid_t pid) {
    auto start = Clock::now();
    atspi_init();
    atspi_set_timeout(10000, -1);
    AtspiAccessible* desktop = atspi_get_desktop(0);
    int apps = atspi_accessible_get_child_count(desktop, nullptr);
    for (int i = 0; i < apps; ++i) {
        AtspiAccessible* app = atspi_accessible_get_child_at_index(desktop, i, nullptr);
        if (!app)
            continue;
        if (atspi_accessible_get_process_id(app, nullptr) == static_cast<guint>(pid)) {
            AtspiAccessible* window = atspi_accessible_get_child_at_index(app, 0, nullptr);
            if (window) {
                naiveWalk(window);
                g_object_unref(window);
            }
        }
        g_object_unref(app);
    }
    std::printf("%d %.6f\n", naiveCount, secondsSince(start));
    return 0;
}

// ---- our walk, in its own process ----------------------------------------------------

int runOurs(pid_t pid) {
    auto start = Clock::now();
    orvex::linux_desktop::AtspiDesktop desktop;
    auto app = desktop.applicationElement(pid);
    auto window = app ? orvex::inputaim::frontWindow(*app) : nullptr;
    auto frame = window ? orvex::inputaim::rect(*window) : std::nullopt;
    if (!frame)
        return 1;
    auto result = orvex::inputaim::searchWindow(window, *frame, "");
    std::printf("%d %.6f\n", result.visited, secondsSince(start));
    return result.chosen ? 0 : 1;
}

// ---- driver ---------------------------------------------------------------------------

struct Child {
    pid_t pid = -1;
    int out = -1;
};

Child start(const std::vector<std::string>& command) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return {};
    std::vector<std::string> args = command;
    std::vector<char*> argv;
    for (auto& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    Child child;
    if (posix_spawn(&child.pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        child.pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    child.out = pipeFds[0];
    return child;
}

std::string readAll(int fd) {
    std::string text;
    char buffer[4096];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<size_t>(n));
    close(fd);
    return text;
}

// Runs a command to its end; gives its output and the wall time from start to exit.
std::pair<std::string, double> timed(const std::vector<std::string>& command) {
    auto begin = Clock::now();
    Child child = start(command);
    std::string out = readAll(child.out);
    int status = 0;
    waitpid(child.pid, &status, 0);
    return {out, secondsSince(begin)};
}

bool waitReady(const Child& window) {
    std::string seen;
    pollfd fd{window.out, POLLIN, 0};
    while (seen.find("ready") == std::string::npos) {
        if (poll(&fd, 1, 20000) <= 0)
            return false;
        char buffer[64];
        ssize_t n = read(window.out, buffer, sizeof buffer);
        if (n <= 0)
            return false;
        seen.append(buffer, static_cast<size_t>(n));
    }
    return true;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void measure(int filler, const std::string& dir) {
    Child window = start({dir + "/orvex-test-gtk-window", "--filler", std::to_string(filler)});
    if (window.pid < 0 || !waitReady(window)) {
        std::printf("window with %d labels did not start\n", filler);
        return;
    }
    std::string self = dir + "/inputaim_bench";
    std::string pid = std::to_string(window.pid);
    // Wait until the application is on the accessibility bus.
    for (int i = 0; i < 100 && timed({self, "--ours", pid}).first.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    // The first search above met a cold toolkit; start the window afresh for the record.
    kill(window.pid, SIGTERM);
    waitpid(window.pid, nullptr, 0);
    close(window.out);
    window = start({dir + "/orvex-test-gtk-window", "--filler", std::to_string(filler)});
    waitReady(window);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));

    auto [coldOut, coldProcess] = timed({self, "--ours", pid = std::to_string(window.pid)});
    auto [naiveOut, naiveProcess] = timed({self, "--naive", pid});
    std::vector<double> walks, tools;
    for (int i = 0; i < 5; ++i) {
        auto [out, seconds] = timed({self, "--ours", pid});
        int visited = 0;
        double walk = 0;
        std::sscanf(out.c_str(), "%d %lf", &visited, &walk);
        walks.push_back(walk);
        tools.push_back(
            timed({dir + "/inputaim", "--list", "--app", "orvex-test-gtk-window"}).second);
    }
    int naiveCount = 0, coldVisited = 0;
    double naiveWalk = 0, coldWalk = 0;
    std::sscanf(naiveOut.c_str(), "%d %lf", &naiveCount, &naiveWalk);
    std::sscanf(coldOut.c_str(), "%d %lf", &coldVisited, &coldWalk);
    std::printf("%8d %12.3f %12.3f %12.3f %14.3f %9.1fx\n", naiveCount, naiveWalk, coldWalk,
                median(walks), median(tools), naiveWalk / std::max(coldWalk, 1e-9));
    // The line of scripts/bench's table; the naive walk is the peer.
    std::printf(
        "ROW\tinputaim search, %d elements: cold / warm / whole program\t%.0f / %.0f / "
        "%.0f ms\t-\tnaive walk %.0f ms\t-\n",
        naiveCount, coldWalk * 1000, median(walks) * 1000, median(tools) * 1000, naiveWalk * 1000);
    std::fflush(stdout);
    kill(window.pid, SIGTERM);
    waitpid(window.pid, nullptr, 0);
    close(window.out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--naive") == 0)
        return runNaive(std::atoi(argv[2]));
    if (argc == 3 && std::strcmp(argv[1], "--ours") == 0)
        return runOurs(std::atoi(argv[2]));
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "run inside scripts/with-desktop-session\n");
        return 2;
    }
    std::string dir = binDir();
    std::printf("seconds; naive = role+states+extents+children per element, one query at a time\n");
    std::printf("%8s %12s %12s %12s %14s %10s\n", "elements", "naive walk", "ours (cold)",
                "ours (warm)", "inputaim e2e", "speed-up");
    // Labels in the filler pane; the rest of the window adds its own few dozen elements.
    for (int filler : {4780, 215})
        measure(filler, dir);
    return 0;
}

#pragma once

// What the benchmarks share: child processes, medians, and what /proc says of a process.
// Each benchmark prints its own details and, for the one table of scripts/bench, lines of
//   ROW<TAB>what<TAB>figure<TAB>goal<TAB>peer<TAB>met
// where `met` is "yes", "no" or "-" (nothing to meet).

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orvex::bench {

using SteadyClock = std::chrono::steady_clock;

double millisecondsSince(SteadyClock::time_point start);
double median(std::vector<double> values);
std::filesystem::path binDir();

// The environment of this process with `overrides` ("NAME=value") replacing their names;
// an override "NAME" alone removes the variable.
std::vector<std::string> environmentWith(const std::vector<std::string>& overrides);

// A child whose output goes to /dev/null; killed (SIGTERM, then waited for) when dropped.
class Process {
  public:
    explicit Process(const std::vector<std::string>& command,
                     const std::vector<std::string>& environment = environmentWith({}));
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    pid_t pid() const { return pid_; }
    bool started() const { return pid_ > 0; }
    SteadyClock::time_point startedAt() const { return startedAt_; }
    // Waits for the exit; the exit status, or -1 when killed by a signal.
    int wait();

  private:
    pid_t pid_ = -1;
    bool waited_ = false;
    SteadyClock::time_point startedAt_;
};

// Runs a command to its end; its wall time in milliseconds, or nullopt when it failed.
std::optional<double> timedRun(const std::vector<std::string>& command,
                               const std::vector<std::string>& environment = environmentWith({}));

// Resident memory in MiB, summed over the process.
double residentMiB(pid_t pid);
// What each thread of a process has run and how often it was switched out, by thread id.
struct ThreadUsage {
    long long runNanoseconds = 0;
    long switches = 0;
};
std::map<pid_t, ThreadUsage> threadUsage(pid_t pid);
// The CPU time and wake-ups between two samples. A thread that started in between counts
// whole; one that ended is lost (its share cannot be read any more) and only counted.
struct UsageDelta {
    double cpuMilliseconds = 0;
    long wakeUps = 0;
    int threadsEnded = 0;
};
UsageDelta usageBetween(const std::map<pid_t, ThreadUsage>& before,
                        const std::map<pid_t, ThreadUsage>& after);

void printRow(const std::string& what, const std::string& figure, const std::string& goal,
              const std::string& peer, const std::string& met);
std::string format(const char* pattern, double value);

}  // namespace orvex::bench

#include "app/store/preset_model.h"

namespace orvex::bench {

// `count` presets as a user with many would have them: every tenth item opens a folder
// that holds the presets after it, the first sixty-odd have shortcuts, the rest send
// prompts to one or two destinations.
std::vector<PresetItem> samplePresets(int count);

}  // namespace orvex::bench

namespace orvex::bench {

// One Orvex on a private configuration directory, started with `arguments` on a settings
// file holding `presets` (tutorial done, English). Stopped when dropped.
class OrvexUnderTest {
  public:
    OrvexUnderTest(const std::filesystem::path& root, const std::vector<std::string>& arguments,
                   const std::vector<PresetItem>& presets,
                   const std::vector<std::string>& environment = {});

    pid_t pid() const { return process_->pid(); }
    SteadyClock::time_point startedAt() const { return process_->startedAt(); }
    // The environment under which orvex-cli reaches this Orvex.
    const std::vector<std::string>& clientEnvironment() const { return clientEnvironment_; }
    // Writes one command file as a client would and waits, through inotify, for its answer:
    // the milliseconds from the command file in place to the answer written, or nullopt
    // after 30 s. Waits first for the command directory, so it also serves at start-up.
    std::optional<double> command(const std::string& action);

  private:
    std::filesystem::path commands_;
    std::vector<std::string> clientEnvironment_;
    std::unique_ptr<Process> process_;
    int serial_ = 0;
};

}  // namespace orvex::bench

namespace orvex::bench {

// CopyQ's server, the peer a user would script instead, on a private configuration and
// session, started at construction. Needs `copyq` on the PATH and a display.
class CopyqServer {
  public:
    explicit CopyqServer(const std::filesystem::path& root);
    ~CopyqServer();

    pid_t pid() const { return server_->pid(); }
    // Server start to the first `copyq size` answered; nullopt when it never answered.
    std::optional<double> firstAnswerMs() const { return firstAnswer_; }
    std::optional<double> roundTripMs() const;

  private:
    std::vector<std::string> environment_;
    std::unique_ptr<Process> server_;
    std::optional<double> firstAnswer_;
};

}  // namespace orvex::bench

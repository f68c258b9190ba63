// What a preset run costs beyond its fixed waits: a text send from the editor to the
// ChatGPT app on the simulated demo desktop, with the real clock, Qt's main queue and a
// task per run, as the program runs them. Each run's time minus the waits it slept is the
// overhead; divided by the desktop steps the run took (the journal's events), the overhead
// per step.
//
//   build/bin/run_overhead_bench [--runs N]
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include "app/execution/apple_script_runner.h"
#include "app/execution/capture_file.h"
#include "app/execution/execution_context.h"
#include "app/execution/preset_executor.h"
#include "app/execution/previous_app_tracker.h"
#include "app/i18n/localization_manager.h"
#include "app/notifications/notification_center.h"
#include "app/store/app_state.h"
#include "app/ui/backends/sim_desktop_backend.h"
#include "app/ui/qt_main_queue.h"
#include "base/clock.h"
#include "base/task_runner.h"
#include "bench/bench_support.h"
#include "desktop/sim/sim_desktop.h"

namespace {

using namespace orvex;
using namespace orvex::bench;
namespace fs = std::filesystem;

// The real clock, keeping the waits taken off the main thread (the run's own) in between
// two takes.
class WaitRecordingClock final : public orvex::Clock {
  public:
    TimePoint now() const override { return real_.now(); }
    std::chrono::system_clock::time_point wallNow() const override { return real_.wallNow(); }
    void sleepFor(Duration duration) override {
        if (std::this_thread::get_id() != mainThread_) {
            std::lock_guard lock(mutex_);
            slept_ += duration;
            ++waits_;
        }
        real_.sleepFor(duration);
    }
    // The waits since the last take: total milliseconds and count.
    std::pair<double, int> take() {
        std::lock_guard lock(mutex_);
        const std::pair<double, int> taken{
            std::chrono::duration<double, std::milli>(slept_).count(), waits_};
        slept_ = {};
        waits_ = 0;
        return taken;
    }

  private:
    RealClock real_;
    std::thread::id mainThread_ = std::this_thread::get_id();
    std::mutex mutex_;
    Duration slept_{};
    int waits_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    int runs = 15;
    if (argc == 3 && std::strcmp(argv[1], "--runs") == 0) {
        runs = std::atoi(argv[2]);
    }
    QCoreApplication application(argc, argv);
    const fs::path root =
        fs::temp_directory_path() / ("orvex-run-bench-" + std::to_string(getpid()));
    fs::create_directories(root);
    WaitRecordingClock clock;
    QtMainQueue queue(clock);
    ThreadTaskRunner tasks;
    auto created =
        SimDesktopBackend::create(fs::path(ORVEX_SOURCE_DIR) / "desktop/sim/scenarios/demo.json",
                                  root / "sim", root / "journal.jsonl", queue, clock);
    if (!created.backend) {
        std::fprintf(stderr, "run_overhead_bench: %s\n", created.error.c_str());
        return 1;
    }
    SimDesktop& sim = created.backend->sim();
    Desktop& desktop = created.backend->desktop();
    SettingsManager settings(root / "settings.json");
    AppState state(settings, queue, {});
    LocalizationManager i18n(
        settings, LocalizationOptions{fs::path(ORVEX_SOURCE_DIR) / "app/i18n/resources/locales",
                                      [] { return std::vector<std::string>{"en"}; },
                                      {}});
    NotificationCenter notifications(queue);
    ExecutionConfig config;
    CaptureDirectories captureDirectories;
    AppleScriptRunner scripts(*desktop.scriptHost, *desktop.keyboard, clock, tasks);
    auto tracker = PreviousAppTracker::create(desktop, queue, clock, scripts, config, &tasks);
    ExecutionContext context{desktop,       clock,   queue,    state,  i18n,
                             notifications, scripts, *tracker, config, captureDirectories};
    PresetExecutor executor(context, tasks);

    PresetData preset;
    preset.id = "bench";
    preset.label = "Summarise";
    preset.fixedPrompt = "Summarise:";
    preset.destination = "chatgpt-app";

    std::vector<double> totals, waits, perStep;
    int failures = 0;
    for (int run = 0; run < runs; ++run) {
        sim.userActivate("com.apple.TextEdit");
        QCoreApplication::processEvents();
        const std::size_t journalBefore = sim.journal().size();
        clock.take();
        QEventLoop loop;
        std::atomic<bool> failed = false;
        const SteadyClock::time_point start = SteadyClock::now();
        double total = 0;
        executor.start(preset, [&](std::optional<std::string> error) {
            total = millisecondsSince(start);
            failed = error.has_value();
            queue.post([&] { loop.quit(); });
        });
        loop.exec();
        const auto [slept, count] = clock.take();
        const std::size_t steps = sim.journal().size() - journalBefore;
        if (failed || steps == 0) {
            ++failures;
            continue;
        }
        totals.push_back(total);
        waits.push_back(slept);
        perStep.push_back((total - slept) / static_cast<double>(steps));
        if (run == 0) {
            std::printf("one run: %zu desktop steps, %d fixed waits\n", steps, count);
        }
    }
    fs::remove_all(root);
    if (failures > 0) {
        std::fprintf(stderr, "run_overhead_bench: %d of %d runs failed\n", failures, runs);
        return 1;
    }
    const double overheadPerStep = median(perStep);
    std::printf("medians of %d runs: %.1f ms in all, %.1f ms of fixed waits, %.1f ms beyond them\n",
                runs, median(totals), median(waits), median(totals) - median(waits));
    printRow("preset run overhead beyond its fixed waits (text send)",
             format("%.2f ms per step", overheadPerStep), "<= 5 ms per step", "-",
             overheadPerStep <= 5 ? "yes" : "no");
    return 0;
}

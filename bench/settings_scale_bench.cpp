// The preset list at scale: persistPresets (read back the stored settings, save, register
// every hot key again) and folder.organize's regrouping with its save, at 100, 1,000 and
// 10,000 presets, in process on the simulated desktop's hot keys. Medians of repeated runs;
// the cost per preset at each size shows whether growth stays linear.
//
//   build/bin/settings_scale_bench [--repeats N]
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/commands/organize_into_folders.h"
#include "app/i18n/localization_manager.h"
#include "app/notifications/notification_center.h"
#include "app/shortcuts/shortcut_manager.h"
#include "app/store/app_state.h"
#include "app/store/settings_manager.h"
#include "base/clock.h"
#include "base/manual_main_queue.h"
#include "bench/bench_support.h"
#include "desktop/sim/sim_desktop.h"

namespace {

using namespace orvex;
using namespace orvex::bench;
namespace fs = std::filesystem;

double medianMs(int repeats, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        const SteadyClock::time_point start = SteadyClock::now();
        work();
        times.push_back(millisecondsSince(start));
    }
    return median(times);
}

struct Costs {
    int presets;
    double persistMs;
    double organizeMs;
};

Costs measure(int count, int repeats, const fs::path& root) {
    VirtualClock clock;
    ManualMainQueue queue(clock);
    auto sim = SimDesktop::create(clock, queue);
    Desktop desktop = sim->desktop();
    NotificationCenter notifications(queue);
    ShortcutManager shortcuts(*desktop.hotKeys, queue, notifications);

    const fs::path file = root / ("settings-" + std::to_string(count) + ".json");
    SettingsManager(file).save(AppSettings{samplePresets(count), true, "en"});
    SettingsManager settings(file);
    LocalizationManager i18n(
        settings, LocalizationOptions{fs::path(ORVEX_SOURCE_DIR) / "app/i18n/resources/locales",
                                      [] { return std::vector<std::string>{"en"}; },
                                      {}});
    AppState state(settings, queue,
                   [&](const std::vector<PresetData>& presets) { shortcuts.registerAll(presets); });
    Costs costs{count, 0, 0};
    costs.persistMs = medianMs(repeats, [&] {
        if (!state.persistPresets()) {
            std::fprintf(stderr, "settings_scale_bench: the save failed\n");
            std::exit(1);
        }
    });
    costs.organizeMs = medianMs(repeats, [&] { organizeIntoFolders(state, i18n); });
    queue.runUntilIdle();
    return costs;
}

}  // namespace

int main(int argc, char** argv) {
    int repeats = 7;
    if (argc == 3 && std::strcmp(argv[1], "--repeats") == 0) {
        repeats = std::atoi(argv[2]);
    }
    const fs::path root =
        fs::temp_directory_path() / ("orvex-scale-bench-" + std::to_string(getpid()));
    fs::create_directories(root);
    std::vector<Costs> all;
    for (int count : {100, 1000, 10000}) {
        all.push_back(measure(count, repeats, root));
    }
    fs::remove_all(root);

    std::printf("medians of %d runs   %14s %14s %18s %18s\n", repeats, "persist", "organize",
                "persist/preset", "organize/preset");
    for (const Costs& costs : all) {
        std::printf("%8d presets       %11.2f ms %11.2f ms %15.2f us %15.2f us\n", costs.presets,
                    costs.persistMs, costs.organizeMs, costs.persistMs * 1000 / costs.presets,
                    costs.organizeMs * 1000 / costs.presets);
    }
    // Linear growth: ten times the presets costs at most about ten times as much. Fixed
    // costs make small lists dearer per preset, so 1,000 and 10,000 are compared.
    const auto perPreset = [](double ms, int presets) { return ms * 1000 / presets; };
    const Costs& middle = all[1];
    const Costs& large = all[2];
    const double persistGrowth =
        perPreset(large.persistMs, large.presets) / perPreset(middle.persistMs, middle.presets);
    const double organizeGrowth =
        perPreset(large.organizeMs, large.presets) / perPreset(middle.organizeMs, middle.presets);
    const auto figure = [&](double ms100, double ms1000, double ms10000) {
        return format("%.1f", ms100 * 10) + " / " + format("%.1f", ms1000) + " / " +
               format("%.2f", ms10000 / 10) + " us per preset";
    };
    const std::string goal = "linear: per-preset cost at 10,000 <= 1.5x that at 1,000";
    printRow("persistPresets at 100 / 1,000 / 10,000",
             figure(all[0].persistMs, middle.persistMs, large.persistMs) +
                 format(" (x%.2f)", persistGrowth),
             goal, "-", persistGrowth <= 1.5 ? "yes" : "no");
    printRow("folder.organize at 100 / 1,000 / 10,000",
             figure(all[0].organizeMs, middle.organizeMs, large.organizeMs) +
                 format(" (x%.2f)", organizeGrowth),
             goal, "-", organizeGrowth <= 1.5 ? "yes" : "no");
    return 0;
}

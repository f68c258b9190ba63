// crash_during_saves [TRIALS] [SEED]
//
// A child process saves the settings in a loop through SettingsManager, each save with
// contents the parent can tell apart, and the parent kills it with SIGKILL after a random
// delay. After every kill the settings file must decode and be byte for byte the save
// before the one in progress or that one, and the next load must leave no temporary file
// behind. TRIALS defaults to 1000 (scripts/test runs 50); SEED (default: from the clock)
// chooses the delays and is printed, so a failing run can be repeated. Exits 1 on any
// violation.

#include <sys/mman.h>

#include <atomic>
#include <random>

#include "app/store/settings_manager.h"
#include "base/atomic_file.h"
#include "base/log.h"
#include "bench/trials/trial_support.h"
#include "testing/temp_dir.h"

namespace {

using namespace orvex;
namespace fs = std::filesystem;

constexpr long kMaxDelayMicros = 30000;

// Save `save` of trial `trial`: its size varies from save to save, so a torn or mixed
// file cannot pass for either candidate.
AppSettings contentsOf(long trial, long save) {
    AppSettings settings;
    settings.language = "en";
    const long presets = 1 + (save * 7) % 40;
    for (long i = 0; i < presets; ++i) {
        PresetData preset;
        preset.id =
            "t" + std::to_string(trial) + "-s" + std::to_string(save) + "-" + std::to_string(i);
        preset.label = "trial " + std::to_string(trial) + " save " + std::to_string(save);
        preset.fixedPrompt = std::string(200, static_cast<char>('a' + (save + i) % 26));
        settings.presets.push_back(PresetItem{std::move(preset)});
    }
    return settings;
}

std::size_t entriesBeside(const fs::path& file) {
    std::size_t count = 0;
    for (const auto& entry : fs::directory_iterator(file.parent_path())) {
        count += entry.path() != file;
    }
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    const long trials = trials::argumentOr(argc, argv, 1, 1000);
    const unsigned long seed = static_cast<unsigned long>(trials::argumentOr(
        argc, argv, 2, std::chrono::system_clock::now().time_since_epoch().count() % 1000000007));
    ScopedLogCapture quiet;

    testing::TempDir dir;
    const fs::path file = dir / "settings.json";
    // Which save the child has begun; shared, so it survives the child's death.
    auto* begun = static_cast<std::atomic<long>*>(mmap(nullptr, sizeof(std::atomic<long>),
                                                       PROT_READ | PROT_WRITE,
                                                       MAP_SHARED | MAP_ANONYMOUS, -1, 0));
    if (begun == MAP_FAILED || !SettingsManager(file).save(contentsOf(0, 0))) {
        std::fprintf(stderr, "crash-during-saves: cannot set up in %s\n", dir.path().c_str());
        return 1;
    }
    std::string previous = encodeAppSettingsText(contentsOf(0, 0));

    std::mt19937_64 random(seed);
    std::uniform_int_distribution<long> delay(0, kMaxDelayMicros);
    long decoded = 0, oldContent = 0, newContent = 0, torn = 0, leftByKills = 0, stray = 0;
    for (long trial = 1; trial <= trials; ++trial) {
        begun->store(0);
        const long wait = delay(random);
        pid_t child = fork();
        if (child < 0) {
            std::perror("fork");
            return 1;
        }
        if (child == 0) {
            SettingsManager saver(file);
            for (long save = 1;; ++save) {
                begun->store(save);
                if (SaveResult saved = saver.save(contentsOf(trial, save)); !saved) {
                    std::fprintf(stderr, "trial %ld: save %ld failed: %s\n", trial, save,
                                 saved.error->c_str());
                    _exit(3);
                }
            }
        }
        ::usleep(static_cast<useconds_t>(wait));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        if (!WIFSIGNALED(status)) {
            std::fprintf(stderr, "trial %ld: the saving child ended by itself (status %d)\n", trial,
                         status);
            return 1;
        }

        const long save = begun->load();
        const std::string onDisk = testing::readText(file);
        const std::string newer = save > 0 ? encodeAppSettingsText(contentsOf(trial, save)) : "";
        const std::string older =
            save > 1 ? encodeAppSettingsText(contentsOf(trial, save - 1)) : previous;
        leftByKills += static_cast<long>(entriesBeside(file));
        // The next start's load: it must read the file and clear what the kill left.
        auto loaded = SettingsManager(file).loadStored();
        decoded += loaded.has_value();
        stray += static_cast<long>(entriesBeside(file));
        if (onDisk == older) {
            ++oldContent;
        } else if (save > 0 && onDisk == newer) {
            ++newContent;
        } else {
            ++torn;
            std::fprintf(stderr,
                         "trial %ld: after %ld us, during save %ld: %zu bytes match "
                         "neither the save before nor that one\n",
                         trial, wait, save, onDisk.size());
        }
        previous = onDisk;
    }

    std::printf(
        "crash-during-saves: %ld trials (seed %lu, kills 0-%ld us after the start), "
        "%ld decoded, %ld old content, %ld new content, %ld torn, %ld temporary files "
        "left by kills, %ld stray temporary files after the next load\n",
        trials, seed, kMaxDelayMicros, decoded, oldContent, newContent, torn, leftByKills, stray);
    return decoded == trials && torn == 0 && stray == 0 ? 0 : 1;
}

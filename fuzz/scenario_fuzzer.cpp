// Scenario files of the simulated desktop. Loading one must never journal anything, and a
// refused one must leave the desktop as it was.
#include <cstdlib>
#include <filesystem>

#include "base/clock.h"
#include "base/manual_main_queue.h"
#include "desktop/sim/sim_scenario.h"
#include "fuzz/fuzz_check.h"

using namespace orvex;

namespace {

// Scenarios create their home and files on disk: everything goes below one scratch
// directory of this process.
const std::filesystem::path& scratch() {
    static const std::filesystem::path path = [] {
        // In the working directory, which scripts/fuzz makes a scratch one.
        char pattern[] = "orvex-scenario-XXXXXX";
        const char* made = mkdtemp(pattern);
        fuzz::check(made != nullptr, "no scratch directory");
        return std::filesystem::absolute(made);
    }();
    return path;
}

// Only the two directory keys may name places outside the base; keep them inside.
void keepInScratch(Json& scenario) {
    for (const char* key : {"home", "temporaryDirectory"}) {
        auto entry = scenario.find(key);
        if (entry == scenario.end() || !entry->is_string()) {
            continue;
        }
        const std::filesystem::path path = entry->get<std::string>();
        const auto normal = (scratch() / path).lexically_normal().lexically_relative(scratch());
        if (path.is_absolute() || normal.empty() || *normal.begin() == "..") {
            scenario.erase(entry);
        }
    }
}

std::vector<std::string> applicationKeys(const SimDesktop& desktop) {
    std::vector<std::string> keys;
    for (const SimAppInfo& app : desktop.applications()) {
        keys.push_back(app.key);
    }
    return keys;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    JsonParseResult parsed = parseJson(fuzz::text(data, size));
    if (!parsed.value) {
        return 0;
    }
    if (parsed.value->is_object()) {
        keepInScratch(*parsed.value);
    }
    VirtualClock clock;
    ManualMainQueue queue(clock);
    auto desktop = SimDesktop::create(clock, queue);
    const std::vector<std::string> before = applicationKeys(*desktop);
    auto error = applyScenario(*desktop, *parsed.value, scratch());
    fuzz::check(desktop->journal().empty(), "loading a scenario journaled an event");
    if (error) {
        fuzz::check(applicationKeys(*desktop) == before, "a refused scenario changed the desktop");
    }
    return 0;
}

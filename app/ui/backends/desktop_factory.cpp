#include "app/ui/backends/desktop_factory.h"

#include <cstdlib>

#include "app/ui/backends/linux_desktop_backend.h"
#include "app/ui/backends/sim_desktop_backend.h"

namespace orvex {
namespace {

constexpr std::string_view kSimPrefix = "sim:";

}  // namespace

std::vector<std::string> availableDesktops() {
    if (linuxDesktopBuilt()) {
        return {"sim", "linux"};
    }
    return {"sim"};
}

bool displayPresent() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value && *value) {
            return true;
        }
    }
    return false;
}

DesktopChoice chooseDesktop(const DesktopRequest& request, MainQueue& mainQueue, Clock& clock) {
    DesktopChoice choice;
    if (!request.desktop) {
        if (request.journal) {
            choice.error = "--journal needs the simulated desktop (--desktop sim:SCENARIO.json)";
            return choice;
        }
        if (request.displayPresent) {
            return chooseLinuxDesktop(request, mainQueue, clock);
        }
        return choice;
    }
    const std::string& value = *request.desktop;
    if (value.rfind(kSimPrefix, 0) != 0 || value.size() == kSimPrefix.size()) {
        choice.error = "Unknown desktop \"" + value + "\": use --desktop sim:SCENARIO.json";
        return choice;
    }
    std::filesystem::path scenario = value.substr(kSimPrefix.size());
    const std::filesystem::path base = request.dataDirectory / "sim-desktop";
    const std::filesystem::path journal =
        request.journal ? std::filesystem::path(*request.journal) : base / "journal.jsonl";
    auto sim = SimDesktopBackend::create(scenario, base, journal, mainQueue, clock);
    if (!sim.backend) {
        choice.error = sim.error;
        return choice;
    }
    choice.notices.push_back("Desktop: " + sim.backend->description() +
                             "; journal: " + journal.string());
    choice.backend = std::move(sim.backend);
    return choice;
}

}  // namespace orvex

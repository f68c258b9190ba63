#include "app/ui/backends/sim_desktop_backend.h"

#include "base/app_paths.h"
#include "desktop/sim/sim_desktop.h"
#include "desktop/sim/sim_scenario.h"
#include "desktop/sim/sim_scripting.h"
#include "tools/inputaim/sim/inputaim_in_process.h"

namespace orvex {

SimDesktopBackend::Result SimDesktopBackend::create(const std::filesystem::path& scenarioFile,
                                                    const std::filesystem::path& baseDirectory,
                                                    const std::filesystem::path& journalFile,
                                                    MainQueue& mainQueue, Clock& clock) {
    Result result;
    std::string error;
    if (!createPrivateDirectory(baseDirectory, &error)) {
        result.error = error;
        return result;
    }
    std::unique_ptr<SimDesktopBackend> backend(new SimDesktopBackend());
    backend->scenarioFile_ = scenarioFile;
    backend->journalFile_ = journalFile;
    backend->sim_ = SimDesktop::create(clock, mainQueue);
    if (auto failure = applyScenarioFile(*backend->sim_, scenarioFile, baseDirectory)) {
        result.error = "Cannot load the scenario " + scenarioFile.string() + ": " + *failure;
        return result;
    }
    if (auto failure = backend->sim_->setJournalFile(journalFile)) {
        result.error = "Cannot write the journal " + journalFile.string() + ": " + *failure;
        return result;
    }
    backend->scripting_ = std::make_unique<SimScripting>(backend->sim_);
    registerInputaimInProcess(*backend->sim_);
    backend->desktop_ = backend->sim_->desktop();
    if (!backend->desktop_.complete()) {
        result.error = "The simulated desktop is missing a capability";
        return result;
    }
    result.backend = std::move(backend);
    return result;
}

SimDesktopBackend::~SimDesktopBackend() {
    // The script host points into the desktop; it goes first.
    scripting_.reset();
}

std::string SimDesktopBackend::description() const {
    return "the simulated desktop of " + scenarioFile_.string();
}

}  // namespace orvex

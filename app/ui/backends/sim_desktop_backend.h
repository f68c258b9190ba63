#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "app/ui/desktop_backend.h"

namespace orvex {

class SimDesktop;
class SimScripting;

// Orvex on the simulated desktop: a scenario file's applications, windows and texts, with
// scripts run by the interpreter and inputaim run in-process. Everything that happens on
// that desktop is written to the journal file.
class SimDesktopBackend final : public DesktopBackend {
  public:
    struct Result {
        std::unique_ptr<SimDesktopBackend> backend;
        std::string error;
    };

    // `baseDirectory` receives the scenario's home and temporary directories.
    static Result create(const std::filesystem::path& scenarioFile,
                         const std::filesystem::path& baseDirectory,
                         const std::filesystem::path& journalFile, MainQueue& mainQueue,
                         Clock& clock);
    ~SimDesktopBackend() override;

    Desktop& desktop() override { return desktop_; }
    std::string description() const override;
    SimDesktop& sim() { return *sim_; }
    const std::filesystem::path& journalFile() const { return journalFile_; }

  private:
    SimDesktopBackend() = default;

    std::filesystem::path scenarioFile_;
    std::filesystem::path journalFile_;
    std::shared_ptr<SimDesktop> sim_;
    std::unique_ptr<SimScripting> scripting_;
    Desktop desktop_;
};

}  // namespace orvex

#pragma once

#include <string>

#include "desktop/processes.h"
#include "desktop/sim/sim_state.h"

namespace orvex {

class SimDesktop;

// Child processes of the simulated desktop. No real program is ever started: the tools
// shipped inside the application (such as "inputaim") run in-process once registered, and
// every other executable fails to launch.
class SimProcesses final : public Processes {
  public:
    // Exit status of a shipped tool that nobody registered.
    static constexpr int kToolMissingStatus = 127;

    explicit SimProcesses(SimDesktop& desktop) : desktop_(desktop) {}

    // Makes `name` runnable at bundledToolPath(name): `tool` gets the arguments and fills
    // standard output and error, returning the exit status.
    void registerInProcessTool(const std::string& name, SimInProcessTool tool);
    void unregisterInProcessTool(const std::string& name);

    // A registered tool runs outside the desktop's lock, so it can query the model through
    // the other interfaces. "inputaim" unregistered exits 127 with "inputaim is not
    // available" on standard error.
    ProcessResult run(const std::string& executable,
                      const std::vector<std::string>& arguments) override;
    // Inside the own application: "<app>/Contents/Resources/<name>", for "inputaim" and for
    // every registered tool.
    std::optional<std::string> bundledToolPath(const std::string& name) override;

  private:
    SimDesktop& desktop_;
};

}  // namespace orvex

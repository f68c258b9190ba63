#pragma once

#include <optional>
#include <string>
#include <vector>

namespace orvex {

// The outcome of one child process.
struct ProcessResult {
    // False when the process could not be started; `launchError` then says why.
    bool started = false;
    std::string launchError;
    int exitStatus = -1;
    std::string standardOutput;
    std::string standardError;
};

// Child processes. Every method may be called from any thread.
class Processes {
  public:
    virtual ~Processes() = default;
    // Runs `executable` with `arguments` (no shell, environment unchanged) and blocks until it
    // exits. Both output pipes are read to their ends concurrently, so a child that fills one
    // while the other is being read never stalls.
    virtual ProcessResult run(const std::string& executable,
                              const std::vector<std::string>& arguments) = 0;
    // The path of a helper tool shipped with this application (such as "inputaim"); none
    // when the application carries no such tool.
    virtual std::optional<std::string> bundledToolPath(const std::string& name) = 0;
};

}  // namespace orvex

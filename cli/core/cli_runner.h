#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "base/app_paths.h"
#include "base/clock.h"
#include "base/uuid.h"
#include "protocol/cli_response.h"

namespace orvex {

inline constexpr const char* kTimeoutMessage =
    "Error: Timeout waiting for response. Is Orvex running?";

// Everything the client touches outside its own logic, so tests can run it on virtual time
// against a private directory.
struct CliEnvironment {
    Clock& clock;
    std::ostream& out;
    std::ostream& err;
    std::function<AppPathsResult()> resolvePaths = resolveAppPaths;
    std::function<std::string()> newCommandId = newUuid;
};

struct CommandExchange {
    std::optional<CLIResponse> response;  // none: no readable answer within the time
    std::string error;                    // non-empty: the command could not be sent
};

// Writes one command file and waits up to `timeout` for its answer.
CommandExchange exchangeCommand(const std::string& action,
                                std::map<std::string, std::string> params,
                                CliEnvironment& environment, std::chrono::milliseconds timeout);

// One whole run of orvex-cli: parse `arguments` (program name excluded), write the command
// file, wait for the answer, print it. Returns the exit status.
int runCli(const std::vector<std::string>& arguments, CliEnvironment& environment);

}  // namespace orvex

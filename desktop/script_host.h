#pragma once

#include <optional>
#include <string>
#include <utility>

namespace orvex {

// The outcome of one script run.
struct ScriptOutcome {
    // True when the script reported an error (including one it could not be compiled into).
    bool failed = false;
    // With `failed`: the platform's error message, none when it gave no message.
    std::optional<std::string> errorMessage;
    // Without `failed`: the result's string value, none when the result has none.
    std::optional<std::string> stringValue;

    static ScriptOutcome success(std::optional<std::string> value) {
        return ScriptOutcome{false, std::nullopt, std::move(value)};
    }
    static ScriptOutcome failure(std::optional<std::string> message) {
        return ScriptOutcome{true, std::move(message), std::nullopt};
    }
};

// Runs automation scripts addressed to other applications ("System Events", "Terminal",
// "Finder", "Google Chrome").
class ScriptHost {
  public:
    virtual ~ScriptHost() = default;
    // Compiles and runs `source`, blocking the calling thread until it finishes (its waits
    // included). Never throws: every failure is an outcome with `failed` set.
    virtual ScriptOutcome run(const std::string& source) = 0;
};

}  // namespace orvex

#include "desktop/sim/sim_processes.h"

#include "desktop/sim/sim_desktop.h"

namespace orvex {
namespace {

// Tools the application ships; their path exists whether or not they are registered.
constexpr const char* kShippedTools[] = {"inputaim"};

std::string toolPath(const SimState& state, const std::string& name) {
    const SimApp* self = state.findApp(state.selfKey);
    std::string bundle = self ? self->definition.path.value_or("/Applications/Orvex.app")
                              : "/Applications/Orvex.app";
    return bundle + "/Contents/Resources/" + name;
}

bool shipped(const std::string& name) {
    for (const char* tool : kShippedTools) {
        if (name == tool)
            return true;
    }
    return false;
}

}  // namespace

void SimProcesses::registerInProcessTool(const std::string& name, SimInProcessTool tool) {
    std::lock_guard lock(desktop_.mutex_);
    desktop_.state_->tools[name] = std::move(tool);
}

void SimProcesses::unregisterInProcessTool(const std::string& name) {
    std::lock_guard lock(desktop_.mutex_);
    desktop_.state_->tools.erase(name);
}

std::optional<std::string> SimProcesses::bundledToolPath(const std::string& name) {
    std::lock_guard lock(desktop_.mutex_);
    if (!shipped(name) && !desktop_.state_->tools.count(name))
        return std::nullopt;
    return toolPath(*desktop_.state_, name);
}

ProcessResult SimProcesses::run(const std::string& executable,
                                const std::vector<std::string>& arguments) {
    std::string toolName;
    SimInProcessTool tool;
    {
        std::lock_guard lock(desktop_.mutex_);
        SimState& state = *desktop_.state_;
        std::string name = executable.substr(executable.find_last_of('/') + 1);
        if ((shipped(name) || state.tools.count(name)) && executable == toolPath(state, name)) {
            toolName = name;
            auto registered = state.tools.find(name);
            if (registered != state.tools.end())
                tool = registered->second;
        }
    }

    ProcessResult result;
    if (toolName.empty()) {
        result.started = false;
        result.launchError = "no such executable on the simulated desktop: " + executable;
    } else if (!tool) {
        result.started = true;
        result.exitStatus = kToolMissingStatus;
        result.standardError = toolName + " is not available\n";
    } else {
        result.started = true;
        result.exitStatus = tool(arguments, result.standardOutput, result.standardError);
    }

    std::lock_guard lock(desktop_.mutex_);
    Json entry = {
        {"executable", executable}, {"arguments", arguments}, {"started", result.started}};
    if (result.started) {
        entry["exitStatus"] = result.exitStatus;
        entry["stdout"] = result.standardOutput;
        entry["stderr"] = result.standardError;
    } else {
        entry["error"] = result.launchError;
    }
    desktop_.state_->record("processRun", entry);
    return result;
}

}  // namespace orvex

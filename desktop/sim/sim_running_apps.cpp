#include "desktop/sim/sim_running_apps.h"

#include "desktop/sim/sim_desktop.h"
#include "desktop/sim/sim_state.h"

namespace orvex {

std::optional<std::string> SimRunningApplication::bundleIdentifier() const {
    auto desktop = desktop_.lock();
    if (!desktop)
        return std::nullopt;
    std::lock_guard lock(desktop->mutex_);
    auto record = desktop->state_->processes.find(pid_);
    if (record == desktop->state_->processes.end())
        return std::nullopt;
    const SimApp* app = desktop->state_->findApp(record->second.appKey);
    return app ? app->definition.bundleId : std::nullopt;
}

std::optional<std::string> SimRunningApplication::localizedName() const {
    auto desktop = desktop_.lock();
    if (!desktop)
        return std::nullopt;
    std::lock_guard lock(desktop->mutex_);
    auto record = desktop->state_->processes.find(pid_);
    if (record == desktop->state_->processes.end())
        return std::nullopt;
    const SimApp* app = desktop->state_->findApp(record->second.appKey);
    return app ? std::optional<std::string>(app->definition.name) : std::nullopt;
}

bool SimRunningApplication::isTerminated() const {
    auto desktop = desktop_.lock();
    if (!desktop)
        return true;
    std::lock_guard lock(desktop->mutex_);
    auto record = desktop->state_->processes.find(pid_);
    return record == desktop->state_->processes.end() || record->second.terminated;
}

bool SimRunningApplication::activate(bool ignoringOtherApps) {
    auto desktop = desktop_.lock();
    if (!desktop)
        return false;
    std::lock_guard lock(desktop->mutex_);
    return desktop->state_->activate(pid_,
                                     ignoringOtherApps ? "requestIgnoringOtherApps" : "request");
}

RunningApplicationRef SimRunningApplications::frontmostApplication() {
    std::lock_guard lock(desktop_.mutex_);
    std::int32_t pid = desktop_.state_->frontmostPid;
    return pid ? desktop_.state_->makeApplication(pid) : nullptr;
}

std::vector<RunningApplicationRef> SimRunningApplications::runningApplications() {
    std::lock_guard lock(desktop_.mutex_);
    std::vector<RunningApplicationRef> result;
    for (std::int32_t pid : desktop_.state_->launchOrder) {
        result.push_back(desktop_.state_->makeApplication(pid));
    }
    return result;
}

std::vector<RunningApplicationRef> SimRunningApplications::runningApplications(
    const std::string& bundleIdentifier) {
    std::lock_guard lock(desktop_.mutex_);
    std::vector<RunningApplicationRef> result;
    for (std::int32_t pid : desktop_.state_->launchOrder) {
        const SimApp* app = desktop_.state_->appByPid(pid);
        if (app && app->definition.bundleId == bundleIdentifier) {
            result.push_back(desktop_.state_->makeApplication(pid));
        }
    }
    return result;
}

}  // namespace orvex

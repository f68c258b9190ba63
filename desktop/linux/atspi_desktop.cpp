#include "desktop/linux/atspi_desktop.h"

#include <atspi/atspi-constants.h>
#include <unistd.h>

#include <set>

#include "desktop/linux/atspi_element.h"
#include "desktop/linux/atspi_role_mapping.h"

namespace orvex::linux_desktop {

AtspiDesktop::AtspiDesktop(AtspiOptions options)
    : options_(options), bus_(AtspiBus::connect(options.timeout, &problem_)) {}

std::vector<AtspiDesktop::Application> AtspiDesktop::applications() {
    if (!bus_)
        return {};
    std::vector<Application> applications;
    std::set<std::int32_t> seen;
    const std::int32_t self = static_cast<std::int32_t>(getpid());
    for (const auto& ref : bus_->registeredApplications()) {
        auto pid = bus_->processOf(ref.busName);
        if (!pid || *pid == self || !seen.insert(*pid).second)
            continue;
        applications.push_back({ref.busName, *pid});
    }
    return applications;
}

std::optional<AtspiDesktop::Application> AtspiDesktop::applicationOf(std::int32_t pid) {
    for (auto& application : applications()) {
        if (application.pid == pid)
            return application;
    }
    return std::nullopt;
}

std::optional<AtspiDesktop::Application> AtspiDesktop::frontmost() {
    auto all = applications();
    if (all.empty())
        return std::nullopt;
    // Ask every application at once, so one that does not answer costs a single time-out.
    std::vector<BusCall> calls;
    for (auto& application : all) {
        calls.push_back(
            {application.busName, rootPath, ATSPI_DBUS_INTERFACE_ACCESSIBLE, "GetChildren", {}});
    }
    auto replies = bus_->callAll(calls);
    std::vector<BusCall> stateCalls;
    std::vector<std::size_t> owners;
    for (std::size_t i = 0; i < all.size(); ++i) {
        auto windows = readObjectRefs(replies[i].message);
        if (!windows)
            continue;
        for (auto& window : *windows) {
            stateCalls.push_back(
                {window.busName, window.path, ATSPI_DBUS_INTERFACE_ACCESSIBLE, "GetState", {}});
            owners.push_back(i);
        }
    }
    auto states = bus_->callAll(stateCalls);
    for (std::size_t i = 0; i < states.size(); ++i) {
        auto bits = readStates(states[i].message);
        if (bits && hasState(*bits, ATSPI_STATE_ACTIVE))
            return all[owners[i]];
    }
    if (frontmostProcess_) {
        if (std::optional<std::int32_t> pid = frontmostProcess_()) {
            for (auto& application : all) {
                if (application.pid == *pid)
                    return application;
            }
        }
    }
    return std::nullopt;
}

std::shared_ptr<AtspiApplicationTree> AtspiDesktop::tree(const Application& application) {
    auto& tree = trees_[application.busName];
    if (!tree) {
        tree = std::make_shared<AtspiApplicationTree>(bus_, application.busName, application.pid,
                                                      options_.bulkFetch);
    }
    return tree;
}

AXElementRef AtspiDesktop::applicationElement(std::int32_t pid) {
    auto application = applicationOf(pid);
    if (!application)
        return nullptr;
    return std::make_shared<AtspiElement>(tree(*application), rootPath);
}

void AtspiDesktop::forgetTrees() {
    for (auto& [name, tree] : trees_)
        tree->forget();
}

}  // namespace orvex::linux_desktop

#include "desktop/linux/atspi_running_apps.h"

#include <atspi/atspi-constants.h>
#include <signal.h>

#include <cerrno>

#include "desktop/linux/atspi_element.h"
#include "desktop/linux/atspi_role_mapping.h"

namespace orvex::linux_desktop {

namespace {

class AtspiRunningApplication : public RunningApplication {
  public:
    AtspiRunningApplication(std::shared_ptr<AtspiDesktop> desktop,
                            AtspiDesktop::Application application,
                            std::shared_ptr<const AppIdentityResolver> identities)
        : desktop_(std::move(desktop)),
          application_(std::move(application)),
          identities_(std::move(identities)) {}

    std::int32_t processIdentifier() const override { return application_.pid; }
    std::optional<std::string> bundleIdentifier() const override {
        return identity().bundleIdentifier;
    }
    std::optional<std::string> localizedName() const override {
        if (identity().entryName)
            return identity().entryName;
        auto name = desktop_->tree(application_)->name(rootPath);
        if (!name.ok() || name.value.empty())
            return std::nullopt;
        return name.value;
    }
    bool isTerminated() const override { return kill(application_.pid, 0) != 0 && errno == ESRCH; }
    // Asks the first showing window to take the focus. Raising through the window
    // manager belongs to the X11 workspace.
    bool activate(bool) override {
        auto tree = desktop_->tree(application_);
        auto windows = tree->children(rootPath);
        if (!windows.ok())
            return false;
        auto states = tree->freshStates(windows.value);
        for (std::size_t i = 0; i < states.size(); ++i) {
            if (!states[i].ok() || !hasState(states[i].value, ATSPI_STATE_SHOWING))
                continue;
            auto granted = tree->grabFocus(windows.value[i]);
            return granted.ok() && granted.value;
        }
        return false;
    }

  private:
    std::shared_ptr<AtspiDesktop> desktop_;
    AtspiDesktop::Application application_;
    // Worked out on first use: the frontmost application is often only focused, never named.
    const AppIdentity& identity() const {
        if (!identity_)
            identity_ = identities_->identify(readProcessInfo(application_.pid));
        return *identity_;
    }

    std::shared_ptr<const AppIdentityResolver> identities_;
    mutable std::optional<AppIdentity> identity_;
};

}  // namespace

AtspiRunningApplications::AtspiRunningApplications(
    std::shared_ptr<AtspiDesktop> desktop, std::shared_ptr<const AppIdentityResolver> identities)
    : desktop_(std::move(desktop)), identities_(std::move(identities)) {}

RunningApplicationRef AtspiRunningApplications::make(const AtspiDesktop::Application& application) {
    return std::make_shared<AtspiRunningApplication>(desktop_, application, identities_);
}

RunningApplicationRef AtspiRunningApplications::frontmostApplication() {
    auto front = desktop_->frontmost();
    return front ? make(*front) : nullptr;
}

std::vector<RunningApplicationRef> AtspiRunningApplications::runningApplications() {
    std::vector<RunningApplicationRef> all;
    for (auto& application : desktop_->applications())
        all.push_back(make(application));
    return all;
}

std::vector<RunningApplicationRef> AtspiRunningApplications::runningApplications(
    const std::string& bundleIdentifier) {
    std::vector<RunningApplicationRef> matching;
    for (auto& application : runningApplications()) {
        if (application->bundleIdentifier() == bundleIdentifier)
            matching.push_back(application);
    }
    return matching;
}

}  // namespace orvex::linux_desktop

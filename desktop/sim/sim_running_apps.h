#pragma once

#include <memory>

#include "desktop/running_apps.h"

namespace orvex {

class SimDesktop;

// One launched instance, by process identifier. It keeps answering its bundle identifier
// and name after the application quits, and reads as terminated from then on.
class SimRunningApplication final : public RunningApplication {
  public:
    SimRunningApplication(std::weak_ptr<SimDesktop> desktop, std::int32_t pid)
        : desktop_(std::move(desktop)), pid_(pid) {}

    std::int32_t processIdentifier() const override { return pid_; }
    std::optional<std::string> bundleIdentifier() const override;
    std::optional<std::string> localizedName() const override;
    bool isTerminated() const override;
    bool activate(bool ignoringOtherApps) override;

  private:
    std::weak_ptr<SimDesktop> desktop_;
    std::int32_t pid_;
};

class SimRunningApplications final : public RunningApplications {
  public:
    explicit SimRunningApplications(SimDesktop& desktop) : desktop_(desktop) {}

    RunningApplicationRef frontmostApplication() override;
    // In launch order.
    std::vector<RunningApplicationRef> runningApplications() override;
    std::vector<RunningApplicationRef> runningApplications(
        const std::string& bundleIdentifier) override;

  private:
    SimDesktop& desktop_;
};

}  // namespace orvex

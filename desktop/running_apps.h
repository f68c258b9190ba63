#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orvex {

// A running application as the workspace sees it.
class RunningApplication {
  public:
    virtual ~RunningApplication() = default;
    virtual std::int32_t processIdentifier() const = 0;
    virtual std::optional<std::string> bundleIdentifier() const = 0;
    virtual std::optional<std::string> localizedName() const = 0;
    virtual bool isTerminated() const = 0;
    // Brings the application forward; `ignoringOtherApps` also takes focus from the
    // application in front. True when the request was accepted.
    virtual bool activate(bool ignoringOtherApps) = 0;
};
using RunningApplicationRef = std::shared_ptr<RunningApplication>;

class RunningApplications {
  public:
    virtual ~RunningApplications() = default;
    virtual RunningApplicationRef frontmostApplication() = 0;
    // All running applications, in the platform's order.
    virtual std::vector<RunningApplicationRef> runningApplications() = 0;
    virtual std::vector<RunningApplicationRef> runningApplications(
        const std::string& bundleIdentifier) = 0;
};

}  // namespace orvex

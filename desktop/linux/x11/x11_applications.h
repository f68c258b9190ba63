#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "desktop/linux/app_identity.h"
#include "desktop/linux/x11/x11_windows.h"
#include "desktop/running_apps.h"

namespace orvex::linux_desktop {

// What names a running application: its process and the identity rules shared with the
// input finder, worked out from its windows.
struct X11AppInfo {
    std::int32_t pid = 0;
    std::uint64_t startTime = 0;  // of the process, so a reused pid reads as another process
    std::string bundleIdentifier;
    std::optional<std::string> entryName;
    std::optional<WindowClass> windowClass;  // of its first window
    std::string executable;                  // resolved path, may be empty
    std::optional<std::string> firstTitle;

    // The entry's name, else the window class's name, else the executable's file name.
    std::string localizedName() const;
};

// The applications of an X11 session: every process that owns a managed window, in the
// order of the window manager's client list. Safe to use from any thread.
class X11Applications : public std::enable_shared_from_this<X11Applications> {
  public:
    X11Applications(std::unique_ptr<X11Display> display,
                    std::shared_ptr<const AppIdentityResolver> identities);

    std::vector<X11AppInfo> applications();
    std::optional<X11AppInfo> application(std::int32_t pid);
    // The owner of the active window.
    std::optional<X11AppInfo> frontmost();
    // The process's windows, bottom to top.
    std::vector<ClientWindow> windowsOf(std::int32_t pid);
    // Activates the process's topmost window (restoring it when all are minimized);
    // false when it has none.
    bool activate(std::int32_t pid);
    bool isRunning(std::int32_t pid, std::uint64_t startTime);
    X11AppInfo describe(std::int32_t pid, const std::optional<WindowClass>& windowClass,
                        const std::optional<std::string>& title);
    RunningApplicationRef reference(const X11AppInfo& info);
    X11Windows& windows() { return windows_; }

  private:
    std::unique_ptr<X11Display> display_;
    X11Windows windows_;
    std::shared_ptr<const AppIdentityResolver> identities_;
    std::mutex identityMutex_;  // the resolver reads its entries on first use
};

class X11RunningApplications : public RunningApplications {
  public:
    explicit X11RunningApplications(std::shared_ptr<X11Applications> applications)
        : applications_(std::move(applications)) {}

    RunningApplicationRef frontmostApplication() override;
    std::vector<RunningApplicationRef> runningApplications() override;
    std::vector<RunningApplicationRef> runningApplications(
        const std::string& bundleIdentifier) override;

  private:
    std::shared_ptr<X11Applications> applications_;
};

// The start time of a process in clock ticks since boot (/proc/PID/stat field 22); 0 when
// the process does not exist.
std::uint64_t processStartTime(std::int32_t pid);
// Field 22 of a /proc/PID/stat line; 0 when malformed.
std::uint64_t parseStartTime(const std::string& statLine);

}  // namespace orvex::linux_desktop

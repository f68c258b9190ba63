#include "desktop/linux/x11/x11_applications.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace orvex::linux_desktop {

namespace {

class X11RunningApplication : public RunningApplication {
  public:
    X11RunningApplication(std::shared_ptr<X11Applications> applications, X11AppInfo info)
        : applications_(std::move(applications)), info_(std::move(info)) {}

    std::int32_t processIdentifier() const override { return info_.pid; }
    std::optional<std::string> bundleIdentifier() const override { return info_.bundleIdentifier; }
    std::optional<std::string> localizedName() const override { return info_.localizedName(); }
    bool isTerminated() const override {
        return !applications_->isRunning(info_.pid, info_.startTime);
    }
    // The window manager decides; whether the other applications are passed over is its
    // business, so `ignoringOtherApps` changes nothing here.
    bool activate(bool) override { return !isTerminated() && applications_->activate(info_.pid); }

  private:
    std::shared_ptr<X11Applications> applications_;
    X11AppInfo info_;
};

}  // namespace

std::string X11AppInfo::localizedName() const {
    if (entryName && !entryName->empty())
        return *entryName;
    if (windowClass && !windowClass->className.empty())
        return windowClass->className;
    if (!executable.empty())
        return std::filesystem::path(executable).filename().string();
    return bundleIdentifier;
}

std::uint64_t parseStartTime(const std::string& statLine) {
    // The command name (field 2) is in parentheses and may hold spaces or parentheses.
    auto close = statLine.rfind(')');
    if (close == std::string::npos)
        return 0;
    std::istringstream rest(statLine.substr(close + 1));
    std::string field;
    // Field 3 is the first after the name; field 22 is the 20th from there.
    for (int index = 3; index <= 22; ++index) {
        if (!(rest >> field))
            return 0;
    }
    try {
        return std::stoull(field);
    } catch (...) {
        return 0;
    }
}

std::uint64_t processStartTime(std::int32_t pid) {
    if (pid <= 0)
        return 0;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return 0;
    return parseStartTime(line);
}

X11Applications::X11Applications(std::unique_ptr<X11Display> display,
                                 std::shared_ptr<const AppIdentityResolver> identities)
    : display_(std::move(display)), windows_(*display_), identities_(std::move(identities)) {}

X11AppInfo X11Applications::describe(std::int32_t pid,
                                     const std::optional<WindowClass>& windowClass,
                                     const std::optional<std::string>& title) {
    X11AppInfo info;
    info.pid = pid;
    info.startTime = processStartTime(pid);
    info.windowClass = windowClass;
    info.firstTitle = title;
    ProcessInfo process = readProcessInfo(pid);
    info.executable = process.executable;
    std::optional<std::string> className;
    if (windowClass)
        className = windowClass->className;
    std::lock_guard lock(identityMutex_);
    AppIdentity identity = identities_->identify(process, className);
    info.bundleIdentifier = identity.bundleIdentifier;
    info.entryName = identity.entryName;
    return info;
}

std::vector<X11AppInfo> X11Applications::applications() {
    std::vector<X11AppInfo> out;
    std::set<std::int32_t> seen;
    for (const ClientWindow& window : windows_.clients()) {
        if (window.pid <= 0 || !seen.insert(window.pid).second)
            continue;
        X11AppInfo info = describe(window.pid, window.windowClass, window.title);
        // A window left behind by a process that has gone names nobody.
        if (info.startTime != 0)
            out.push_back(std::move(info));
    }
    return out;
}

std::optional<X11AppInfo> X11Applications::application(std::int32_t pid) {
    for (const ClientWindow& window : windows_.clients()) {
        if (window.pid == pid)
            return describe(pid, window.windowClass, window.title);
    }
    return std::nullopt;
}

std::optional<X11AppInfo> X11Applications::frontmost() {
    auto active = windows_.activeWindow();
    if (!active)
        return std::nullopt;
    auto window = windows_.client(*active);
    if (!window || window->pid <= 0)
        return std::nullopt;
    return describe(window->pid, window->windowClass, window->title);
}

std::vector<ClientWindow> X11Applications::windowsOf(std::int32_t pid) {
    std::vector<ClientWindow> out;
    for (ClientWindow& window : windows_.clients()) {
        if (window.pid == pid)
            out.push_back(std::move(window));
    }
    return out;
}

bool X11Applications::activate(std::int32_t pid) {
    auto target = windowToActivate(windowsOf(pid));
    return target && windows_.activate(*target);
}

bool X11Applications::isRunning(std::int32_t pid, std::uint64_t startTime) {
    std::uint64_t now = processStartTime(pid);
    return now != 0 && now == startTime;
}

RunningApplicationRef X11Applications::reference(const X11AppInfo& info) {
    return std::make_shared<X11RunningApplication>(shared_from_this(), info);
}

RunningApplicationRef X11RunningApplications::frontmostApplication() {
    auto front = applications_->frontmost();
    return front ? applications_->reference(*front) : nullptr;
}

std::vector<RunningApplicationRef> X11RunningApplications::runningApplications() {
    std::vector<RunningApplicationRef> out;
    for (const X11AppInfo& info : applications_->applications())
        out.push_back(applications_->reference(info));
    return out;
}

std::vector<RunningApplicationRef> X11RunningApplications::runningApplications(
    const std::string& bundleIdentifier) {
    std::vector<RunningApplicationRef> out;
    for (const X11AppInfo& info : applications_->applications()) {
        if (info.bundleIdentifier == bundleIdentifier)
            out.push_back(applications_->reference(info));
    }
    return out;
}

}  // namespace orvex::linux_desktop

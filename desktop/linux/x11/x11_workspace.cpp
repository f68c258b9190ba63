#include "desktop/linux/x11/x11_workspace.h"

#include <glib.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "base/log.h"
#include "desktop/linux/x11/application_key_rules.h"
#include "desktop/linux/x11/gio_applications.h"
#include "desktop/linux/x11/gio_documents.h"

namespace orvex::linux_desktop {

namespace {

using namespace std::chrono_literals;

constexpr auto kWindowPoll = 100ms;

bool isDesktopFile(const std::string& path) {
    return path.ends_with(".desktop");
}

std::string fileName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

std::string canonical(const std::string& path) {
    std::error_code error;
    auto resolved = std::filesystem::canonical(path, error);
    return error ? path : resolved.string();
}

}  // namespace

X11Workspace::X11Workspace(std::shared_ptr<X11Applications> applications, MainQueue& mainQueue,
                           Clock& clock)
    : applications_(std::move(applications)), mainQueue_(mainQueue), clock_(clock) {
    wake_ = std::make_unique<LogindWakeWatcher>([this] { deliverWake(); });
    if (!wake_->watching())
        log::system("[Workspace] " + wake_->problem());
}

X11Workspace::~X11Workspace() {
    wake_.reset();
}

std::optional<std::string> X11Workspace::urlForApplication(const std::string& bundleIdentifier) {
    return desktopFileForId(bundleIdentifier);
}

std::optional<std::string> X11Workspace::applicationPathForName(const std::string& name, bool) {
    if (name == "Terminal") {
        std::string launcher = terminalLauncherPath();
        if (!launcher.empty())
            return launcher;
    }
    if (name == "Finder") {
        std::string id = fileManagerId();
        if (!id.empty())
            return desktopFileForId(id);
    }
    return desktopFileForName(name);
}

bool X11Workspace::belongsTo(const X11AppInfo& app, const std::string& path) {
    if (isDesktopFile(path))
        return app.bundleIdentifier == entryIdFromFileName(fileName(path));
    if (path == terminalLauncherPath()) {
        auto rules = keyRulesFor(app.windowClass, app.executable, defaultTerminalProgram());
        return rules && rules->terminal;
    }
    return !app.executable.empty() && fileName(app.executable) == fileName(canonical(path));
}

std::optional<X11AppInfo> X11Workspace::runningInstance(const std::string& path) {
    for (const X11AppInfo& app : applications_->applications()) {
        if (belongsTo(app, path))
            return app;
    }
    return std::nullopt;
}

std::optional<X11AppInfo> X11Workspace::waitForWindow(const std::string& path, std::int32_t pid,
                                                      const std::vector<ClientWindow>& before) {
    std::set<Window> old;
    for (const ClientWindow& window : before)
        old.insert(window.id);
    const Clock::TimePoint deadline = clock_.now() + kWindowWait;
    while (true) {
        for (const ClientWindow& window : applications_->windows().clients()) {
            if (old.count(window.id) || window.pid <= 0)
                continue;
            X11AppInfo app = applications_->describe(window.pid, window.windowClass, window.title);
            // The started process itself, or another one of the same application (a
            // launcher that hands the request to a running instance and exits).
            if (window.pid == pid || belongsTo(app, path))
                return app;
        }
        if (clock_.now() >= deadline)
            return std::nullopt;
        clock_.sleepFor(kWindowPoll);
    }
}

void X11Workspace::openApplication(const std::string& applicationPath,
                                   const OpenConfiguration& configuration,
                                   OpenCompletion completion) {
    if (!configuration.createsNewApplicationInstance) {
        if (auto running = runningInstance(applicationPath)) {
            if (configuration.activates)
                applications_->activate(running->pid);
            completion(applications_->reference(*running), std::nullopt);
            return;
        }
    }
    std::vector<ClientWindow> before = applications_->windows().clients();
    LaunchOutcome launched;
    if (isDesktopFile(applicationPath)) {
        launched = launchDesktopFile(applicationPath);
    } else if (access(applicationPath.c_str(), X_OK) == 0 &&
               !std::filesystem::is_directory(applicationPath)) {
        launched = launchExecutable(applicationPath);
    } else {
        launched.error = "No application at " + applicationPath;
    }
    if (launched.error) {
        completion(nullptr, launched.error);
        return;
    }
    auto app = waitForWindow(applicationPath, launched.pid, before);
    if (!app) {
        completion(nullptr,
                   fileName(applicationPath) + " showed no window within " +
                       std::to_string(
                           std::chrono::duration_cast<std::chrono::seconds>(kWindowWait).count()) +
                       " s");
        return;
    }
    if (configuration.activates)
        applications_->activate(app->pid);
    completion(applications_->reference(*app), std::nullopt);
}

bool X11Workspace::openFile(const std::string& path) {
    return openFileWithDefault(path);
}

bool X11Workspace::openURL(const std::string& url) {
    return openUrlWithDefault(url);
}

bool X11Workspace::showFolder(const std::string& folderPath) {
    return showFolderInFileManager(folderPath);
}

std::vector<std::string> X11Workspace::installedApplicationNames() {
    return applicationNames();
}

std::vector<std::string> X11Workspace::httpsURLHandlerBundleIds() {
    return httpsHandlerIds();
}

Workspace::SubscriptionId X11Workspace::subscribeDidActivateApplication(ActivationHandler handler) {
    std::lock_guard lock(subscriptions_->mutex);
    SubscriptionId id = subscriptions_->nextId++;
    subscriptions_->activation[id] = std::move(handler);
    return id;
}

Workspace::SubscriptionId X11Workspace::subscribeDidWake(WakeHandler handler) {
    std::lock_guard lock(subscriptions_->mutex);
    SubscriptionId id = subscriptions_->nextId++;
    subscriptions_->wake[id] = std::move(handler);
    return id;
}

void X11Workspace::unsubscribe(SubscriptionId id) {
    std::lock_guard lock(subscriptions_->mutex);
    subscriptions_->activation.erase(id);
    subscriptions_->wake.erase(id);
}

void X11Workspace::deliverWake() {
    mainQueue_.post([weak = std::weak_ptr<Subscriptions>(subscriptions_)] {
        auto subscriptions = weak.lock();
        if (!subscriptions)
            return;
        std::vector<WakeHandler> handlers;
        {
            std::lock_guard lock(subscriptions->mutex);
            for (auto& [id, handler] : subscriptions->wake)
                handlers.push_back(handler);
        }
        for (auto& handler : handlers)
            handler();
    });
}

void X11Workspace::handleEvent(X11Display& display, const XEvent& event) {
    if (event.type != PropertyNotify || event.xproperty.window != display.root() ||
        event.xproperty.atom != display.atom("_NET_ACTIVE_WINDOW"))
        return;
    X11ErrorTrap trap(display.raw());
    auto active = readActiveWindow(display);
    if (!active)
        return;
    ClientWindow window = describeWindow(display, *active);
    if (trap.sync() != Success || window.pid <= 0)
        return;
    {
        // Only a change of application is an activation; focus moving between the
        // windows of one application is not.
        std::lock_guard lock(subscriptions_->mutex);
        if (window.pid == subscriptions_->lastActivePid)
            return;
        subscriptions_->lastActivePid = window.pid;
    }
    RunningApplicationRef app = applications_->reference(
        applications_->describe(window.pid, window.windowClass, window.title));
    mainQueue_.post([weak = std::weak_ptr<Subscriptions>(subscriptions_), app] {
        auto subscriptions = weak.lock();
        if (!subscriptions)
            return;
        std::vector<ActivationHandler> handlers;
        {
            std::lock_guard lock(subscriptions->mutex);
            for (auto& [id, handler] : subscriptions->activation)
                handlers.push_back(handler);
        }
        for (auto& handler : handlers)
            handler(app);
    });
}

std::optional<std::string> X11Workspace::ownBundleIdentifier() {
    return applications_->describe(static_cast<std::int32_t>(getpid()), std::nullopt, std::nullopt)
        .bundleIdentifier;
}

std::string X11Workspace::ownApplicationPath() {
    std::error_code error;
    auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : self.string();
}

std::string X11Workspace::homeDirectory() {
    return g_get_home_dir();
}

std::string X11Workspace::desktopDirectory() {
    // The XDG user directory, as file managers show it: translated desktops name their own
    // folder ("~/デスクトップ") in user-dirs.dirs. GLib falls back to ~/Desktop itself; the
    // check is for a GLib that would not.
    if (const char* desktop = g_get_user_special_dir(G_USER_DIRECTORY_DESKTOP))
        return desktop;
    return (std::filesystem::path(homeDirectory()) / "Desktop").string();
}

std::string X11Workspace::temporaryDirectory() {
    return g_get_tmp_dir();
}

}  // namespace orvex::linux_desktop

#include "desktop/sim/sim_state.h"

#include <algorithm>
#include <chrono>

namespace orvex {

std::optional<SimAppKind> simAppKindFromString(std::string_view text) {
    for (SimAppKind kind :
         {SimAppKind::generic, SimAppKind::editor, SimAppKind::chat, SimAppKind::terminal,
          SimAppKind::fileManager, SimAppKind::browser, SimAppKind::self}) {
        if (toString(kind) == text)
            return kind;
    }
    return std::nullopt;
}

std::string_view toString(SimAppKind kind) {
    switch (kind) {
        case SimAppKind::generic:
            return "generic";
        case SimAppKind::editor:
            return "editor";
        case SimAppKind::chat:
            return "chat";
        case SimAppKind::terminal:
            return "terminal";
        case SimAppKind::fileManager:
            return "fileManager";
        case SimAppKind::browser:
            return "browser";
        case SimAppKind::self:
            return "self";
    }
    return "generic";
}

std::optional<SimPermissionState> simPermissionStateFromString(std::string_view text) {
    for (SimPermissionState state : {SimPermissionState::granted, SimPermissionState::denied,
                                     SimPermissionState::grantedOnPrompt}) {
        if (toString(state) == text)
            return state;
    }
    return std::nullopt;
}

std::string_view toString(SimPermissionState state) {
    switch (state) {
        case SimPermissionState::granted:
            return "granted";
        case SimPermissionState::denied:
            return "denied";
        case SimPermissionState::grantedOnPrompt:
            return "grantedOnPrompt";
    }
    return "denied";
}

std::string_view toString(SimPermission permission) {
    switch (permission) {
        case SimPermission::accessibility:
            return "accessibility";
        case SimPermission::screenRecording:
            return "screenRecording";
        case SimPermission::browserAutomation:
            return "browserAutomation";
    }
    return "accessibility";
}

SimState::SimState(Clock& clock, MainQueue& mainQueue)
    : clock(clock), mainQueue(mainQueue), start(clock.now()) {
    permissions[SimPermission::accessibility] = SimPermissionState::granted;
    permissions[SimPermission::screenRecording] = SimPermissionState::granted;
    permissions[SimPermission::browserAutomation] = SimPermissionState::granted;
}

// ---- Basics -------------------------------------------------------------------------------

void SimState::record(const std::string& event, Json fields) {
    if (quiet > 0)
        return;
    journal.record(event, elapsedMilliseconds(), std::move(fields));
}

std::int64_t SimState::elapsedMilliseconds() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(clock.now() - start).count();
}

bool SimState::granted(SimPermission permission) const {
    auto it = permissions.find(permission);
    if (it == permissions.end())
        return false;
    if (it->second == SimPermissionState::granted)
        return true;
    return it->second == SimPermissionState::grantedOnPrompt && prompted.count(permission) > 0;
}

void SimState::prompt(SimPermission permission) {
    bool wasGranted = granted(permission);
    prompted.insert(permission);
    record("permissionPrompt", {{"permission", std::string(toString(permission))},
                                {"granted", granted(permission)},
                                {"wasGranted", wasGranted}});
}

SimApp* SimState::findApp(const std::string& app) {
    return const_cast<SimApp*>(std::as_const(*this).findApp(app));
}

const SimApp* SimState::findApp(const std::string& app) const {
    for (const SimApp& candidate : apps) {
        if (candidate.key == app)
            return &candidate;
    }
    for (const SimApp& candidate : apps) {
        if (candidate.definition.name == app)
            return &candidate;
    }
    return nullptr;
}

SimApp* SimState::appByPid(std::int32_t pid) {
    return const_cast<SimApp*>(std::as_const(*this).appByPid(pid));
}

const SimApp* SimState::appByPid(std::int32_t pid) const {
    if (pid == 0)
        return nullptr;
    for (const SimApp& app : apps) {
        if (app.running && app.pid == pid)
            return &app;
    }
    return nullptr;
}

SimApp* SimState::selfApp() {
    return findApp(selfKey);
}

SimWindow* SimState::window(SimWindowId id) {
    auto it = windows.find(id);
    return it == windows.end() ? nullptr : &it->second;
}

const SimWindow* SimState::window(SimWindowId id) const {
    auto it = windows.find(id);
    return it == windows.end() ? nullptr : &it->second;
}

SimNode* SimState::node(SimNodeId id) {
    auto it = nodes.find(id);
    return it == nodes.end() ? nullptr : &it->second;
}

const SimNode* SimState::node(SimNodeId id) const {
    auto it = nodes.find(id);
    return it == nodes.end() ? nullptr : &it->second;
}

SimAppInfo SimState::info(const SimApp& app) const {
    SimAppInfo result;
    result.key = app.key;
    result.bundleId = app.definition.bundleId;
    result.name = app.definition.name;
    result.kind = app.definition.kind;
    result.path = app.definition.path.value_or("");
    result.installed = app.definition.installed;
    result.running = app.running;
    result.pid = app.running ? app.pid : 0;
    result.windows = app.windows;
    return result;
}

SimWindowInfo SimState::info(const SimWindow& window) const {
    SimWindowInfo result;
    result.id = window.id;
    result.appKey = window.appKey;
    result.title = window.title;
    result.frame = window.frame;
    result.minimized = window.minimized;
    result.folder = window.folder;
    for (const SimTab& tab : window.tabs)
        result.tabs.push_back({tab.id, tab.url, tab.title});
    result.activeTabIndex = window.tabs.empty() ? 0 : static_cast<int>(window.activeTab) + 1;
    return result;
}

Json SimState::appName(const SimApp* app) {
    return app ? Json(app->key) : Json(nullptr);
}

// ---- Applications -------------------------------------------------------------------------

std::optional<std::string> SimState::addApplication(const SimAppSpec& given) {
    SimApp app;
    app.definition = given;
    if (app.definition.name.empty())
        return "an application needs a name";
    if (app.definition.bundleId && app.definition.bundleId->empty()) {
        return "application \"" + app.definition.name + "\": empty bundle identifier";
    }
    app.key = app.definition.bundleId.value_or(app.definition.name);
    for (const SimApp& existing : apps) {
        if (existing.key == app.key)
            return "application \"" + app.key + "\" is defined twice";
    }
    if (!app.definition.path)
        app.definition.path = "/Applications/" + app.definition.name + ".app";
    if (!app.definition.opensHttps)
        app.definition.opensHttps = app.definition.kind == SimAppKind::browser;
    if (!app.definition.running && !app.definition.windows.empty()) {
        return "application \"" + app.key + "\" has windows but does not run";
    }
    apps.push_back(app);
    if (!given.running)
        return std::nullopt;

    SimApp& added = apps.back();
    added.running = true;
    added.pid = nextPid++;
    processes[added.pid] = SimProcessRecord{added.key, false};
    launchOrder.push_back(added.pid);
    // Windows are created back to front so that the first one listed ends up in front.
    ++quiet;
    for (auto it = given.windows.rbegin(); it != given.windows.rend(); ++it) {
        createWindow(added, *it);
    }
    --quiet;
    return std::nullopt;
}

std::optional<std::string> SimState::launch(SimApp& app, bool activates,
                                            const std::string& reason) {
    if (app.running) {
        // Reopening: an application without windows opens one; with only minimized windows
        // the first of them comes back.
        bool anyOpen = std::any_of(app.windows.begin(), app.windows.end(),
                                   [&](SimWindowId id) { return !windows.at(id).minimized; });
        if (app.windows.empty()) {
            createWindow(app, standardWindow(app));
            record("reopen", {{"app", app.key}, {"pid", app.pid}, {"openedWindow", true}});
        } else if (!anyOpen) {
            setMinimized(windows.at(app.windows.front()), false, "reopen");
            record("reopen", {{"app", app.key}, {"pid", app.pid}, {"openedWindow", false}});
        }
        if (activates)
            activate(app.pid, reason);
        return std::nullopt;
    }
    if (app.definition.launchError) {
        record("launchFailed", {{"app", app.key}, {"error", *app.definition.launchError}});
        return app.definition.launchError;
    }
    app.running = true;
    app.pid = nextPid++;
    processes[app.pid] = SimProcessRecord{app.key, false};
    launchOrder.push_back(app.pid);
    record("launch", {{"app", app.key}, {"pid", app.pid}, {"by", reason}});
    // A file manager starts without a window of its own; everything else opens one.
    if (app.definition.kind != SimAppKind::self && app.definition.kind != SimAppKind::fileManager) {
        createWindow(app, standardWindow(app));
    }
    if (activates)
        activate(app.pid, reason);
    return std::nullopt;
}

bool SimState::activate(std::int32_t pid, const std::string& by) {
    SimApp* app = appByPid(pid);
    if (!app)
        return false;
    std::erase(activationOrder, pid);
    activationOrder.insert(activationOrder.begin(), pid);
    if (frontmostPid == pid)
        return true;
    const SimApp* previous = appByPid(frontmostPid);
    frontmostPid = pid;
    record("activate",
           {{"app", app->key}, {"pid", pid}, {"by", by}, {"previous", appName(previous)}});
    if (!makeApplication || quiet > 0)
        return true;
    RunningApplicationRef ref = makeApplication(pid);
    for (const auto& [id, handler] : activationHandlers) {
        mainQueue.post([handler = handler, ref] { handler(ref); });
    }
    return true;
}

void SimState::terminate(SimApp& app) {
    if (!app.running)
        return;
    std::int32_t pid = app.pid;
    for (SimWindowId id : std::vector<SimWindowId>(app.windows))
        closeWindow(id);
    app.running = false;
    app.pid = 0;
    processes[pid].terminated = true;
    std::erase(launchOrder, pid);
    std::erase(activationOrder, pid);
    record("terminate", {{"app", app.key}, {"pid", pid}});
    if (frontmostPid == pid) {
        frontmostPid = 0;
        // As on a real desktop, the most recently active other application comes forward.
        if (!activationOrder.empty())
            activate(activationOrder.front(), "terminate");
    }
}

SimWindow* SimState::frontWindow(SimApp& app) {
    return const_cast<SimWindow*>(frontWindow(std::as_const(app)));
}

const SimWindow* SimState::frontWindow(const SimApp& app) const {
    for (SimWindowId id : app.windows) {
        const SimWindow* candidate = window(id);
        if (candidate && !candidate->minimized)
            return candidate;
    }
    return nullptr;
}

void SimState::raise(SimWindow& target) {
    SimApp* app = findApp(target.appKey);
    if (!app)
        return;
    auto it = std::find(app->windows.begin(), app->windows.end(), target.id);
    if (it == app->windows.end() || it == app->windows.begin())
        return;
    app->windows.erase(it);
    app->windows.insert(app->windows.begin(), target.id);
    record("windowRaised", {{"app", app->key}, {"window", target.id}, {"title", target.title}});
}

void SimState::setMinimized(SimWindow& target, bool minimized, const std::string& by) {
    if (target.minimized == minimized)
        return;
    target.minimized = minimized;
    record(minimized ? "windowMinimized" : "windowRestored",
           {{"app", target.appKey}, {"window", target.id}, {"title", target.title}, {"by", by}});
    if (!minimized)
        raise(target);
}

void SimState::closeWindow(SimWindowId id) {
    SimWindow* target = window(id);
    if (!target)
        return;
    if (SimApp* app = findApp(target->appKey))
        std::erase(app->windows, id);
    for (const SimTab& tab : target->tabs)
        destroyNode(tab.webArea);
    destroyNode(target->node);
    record("windowClosed", {{"app", target->appKey}, {"window", id}, {"title", target->title}});
    windows.erase(id);
}

void SimState::emitWake() {
    record("wake");
    if (quiet > 0)
        return;
    for (const auto& [id, handler] : wakeHandlers) {
        mainQueue.post([handler = handler] { handler(); });
    }
}

}  // namespace orvex

#include "desktop/sim/sim_workspace.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>

#include "desktop/sim/sim_desktop.h"
#include "desktop/sim/sim_state.h"

namespace orvex {
namespace {

std::string lowercase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
}

// Whether something exists at `path`, without throwing on odd paths.
bool exists(const std::string& path, bool directory) {
    std::error_code error;
    auto status = std::filesystem::status(path, error);
    if (error || !std::filesystem::exists(status))
        return false;
    return directory ? std::filesystem::is_directory(status)
                     : !std::filesystem::is_directory(status);
}

}  // namespace

std::optional<std::string> SimWorkspace::urlForApplication(const std::string& bundleIdentifier) {
    std::lock_guard lock(desktop_.mutex_);
    for (const SimApp& app : desktop_.state_->apps) {
        if (app.definition.installed && app.definition.bundleId == bundleIdentifier)
            return app.definition.path;
    }
    return std::nullopt;
}

std::optional<std::string> SimWorkspace::applicationPathForName(const std::string& name,
                                                                bool includeUtilities) {
    std::lock_guard lock(desktop_.mutex_);
    std::vector<std::string> candidates = {"/Applications/" + name + ".app"};
    if (includeUtilities)
        candidates.push_back("/Applications/Utilities/" + name + ".app");
    for (const std::string& candidate : candidates) {
        for (const SimApp& app : desktop_.state_->apps) {
            if (app.definition.installed && app.definition.path == candidate)
                return candidate;
        }
    }
    return std::nullopt;
}

void SimWorkspace::openApplication(const std::string& applicationPath,
                                   const OpenConfiguration& configuration,
                                   OpenCompletion completion) {
    RunningApplicationRef opened;
    std::optional<std::string> error;
    {
        std::lock_guard lock(desktop_.mutex_);
        SimState& state = *desktop_.state_;
        SimApp* target = nullptr;
        for (SimApp& app : state.apps) {
            if (app.definition.installed && app.definition.path == applicationPath)
                target = &app;
        }
        if (!target) {
            error = "The application can't be opened because it can't be found: " + applicationPath;
            state.record("launchFailed", {{"path", applicationPath}, {"error", *error}});
        } else if (configuration.createsNewApplicationInstance && target->running) {
            // A second instance replaces the first (the restart after a language change).
            state.record("relaunch", {{"app", target->key}});
            state.terminate(*target);
            error = state.launch(*target, configuration.activates, "openApplication");
        } else {
            error = state.launch(*target, configuration.activates, "openApplication");
        }
        if (!error && target)
            opened = state.makeApplication(target->pid);
    }
    if (completion)
        completion(opened, error);
}

bool SimWorkspace::openFile(const std::string& path) {
    std::lock_guard lock(desktop_.mutex_);
    SimState& state = *desktop_.state_;
    auto refuse = [&](const std::string& reason) {
        state.record("openRefused", {{"path", path}, {"reason", reason}});
        return false;
    };
    if (path.empty() || path.front() != '/')
        return refuse("not an absolute path");
    if (!exists(path, false))
        return refuse("no such file");
    std::string extension = lowercase(std::filesystem::path(path).extension().string());
    if (!extension.empty())
        extension.erase(0, 1);
    SimApp* handler = nullptr;
    for (SimApp& app : state.apps) {
        for (const std::string& type : app.definition.documentTypes) {
            if (!handler && app.definition.installed && lowercase(type) == extension)
                handler = &app;
        }
    }
    if (!handler)
        return refuse("no application opens ." + extension);
    if (auto error = state.launch(*handler, false, "openFile"))
        return refuse(*error);
    SimWindowSpec document;
    document.title = std::filesystem::path(path).filename().string();
    if (handler->definition.kind == SimAppKind::editor)
        state.createWindow(*handler, document);
    state.record("fileOpened", {{"path", path}, {"app", handler->key}});
    state.activate(handler->pid, "openFile");
    return true;
}

bool SimWorkspace::openURL(const std::string& url) {
    if (startsWith(url, "file://"))
        return openFile(url.substr(7));
    std::lock_guard lock(desktop_.mutex_);
    SimState& state = *desktop_.state_;
    std::string scheme = lowercase(url.substr(0, url.find(':')));
    SimApp* browser = (scheme == "https" || scheme == "http") ? state.defaultBrowserApp() : nullptr;
    if (!browser) {
        state.record("openRefused", {{"url", url}, {"reason", "no application opens it"}});
        return false;
    }
    if (auto error = state.launch(*browser, false, "openURL")) {
        state.record("openRefused", {{"url", url}, {"reason", *error}});
        return false;
    }
    SimWindow* front = state.frontWindow(*browser);
    if (!front)
        front = state.window(*state.openWindow(*browser));
    if (!front->tabs.empty() && front->tabs[front->activeTab].url == "about:blank") {
        state.setTabURL(*front, static_cast<int>(front->activeTab) + 1, url);
    } else {
        state.openTab(*front, url);
    }
    state.record("urlOpened", {{"url", url}, {"app", browser->key}});
    state.activate(browser->pid, "openURL");
    return true;
}

bool SimWorkspace::showFolder(const std::string& folderPath) {
    std::lock_guard lock(desktop_.mutex_);
    SimState& state = *desktop_.state_;
    if (!exists(folderPath, true)) {
        state.record("openRefused", {{"folder", folderPath}, {"reason", "no such folder"}});
        return false;
    }
    if (!state.showFolder(folderPath))
        return false;
    state.activate(state.fileManager()->pid, "showFolder");
    return true;
}

std::vector<std::string> SimWorkspace::installedApplicationNames() {
    std::lock_guard lock(desktop_.mutex_);
    std::set<std::string> names;
    for (const SimApp& app : desktop_.state_->apps) {
        const std::filesystem::path file(app.definition.path.value_or(""));
        const std::string folder = file.parent_path().string();
        // Only where applicationPathForName looks, by the name it looks for.
        if (app.definition.installed && file.extension() == ".app" &&
            (folder == "/Applications" || folder == "/Applications/Utilities")) {
            names.insert(file.stem().string());
        }
    }
    return {names.begin(), names.end()};
}

std::vector<std::string> SimWorkspace::httpsURLHandlerBundleIds() {
    std::lock_guard lock(desktop_.mutex_);
    std::vector<std::string> result;
    for (const SimApp& app : desktop_.state_->apps) {
        if (app.definition.installed && app.definition.opensHttps.value_or(false) &&
            app.definition.bundleId) {
            result.push_back(*app.definition.bundleId);
        }
    }
    return result;
}

Workspace::SubscriptionId SimWorkspace::subscribeDidActivateApplication(ActivationHandler handler) {
    std::lock_guard lock(desktop_.mutex_);
    SubscriptionId id = desktop_.state_->nextSubscription++;
    desktop_.state_->activationHandlers[id] = std::move(handler);
    return id;
}

Workspace::SubscriptionId SimWorkspace::subscribeDidWake(WakeHandler handler) {
    std::lock_guard lock(desktop_.mutex_);
    SubscriptionId id = desktop_.state_->nextSubscription++;
    desktop_.state_->wakeHandlers[id] = std::move(handler);
    return id;
}

void SimWorkspace::unsubscribe(SubscriptionId id) {
    std::lock_guard lock(desktop_.mutex_);
    desktop_.state_->activationHandlers.erase(id);
    desktop_.state_->wakeHandlers.erase(id);
}

std::optional<std::string> SimWorkspace::ownBundleIdentifier() {
    std::lock_guard lock(desktop_.mutex_);
    const SimApp* self = desktop_.state_->selfApp();
    return self ? self->definition.bundleId : std::nullopt;
}

std::string SimWorkspace::ownApplicationPath() {
    std::lock_guard lock(desktop_.mutex_);
    const SimApp* self = desktop_.state_->selfApp();
    return self ? self->definition.path.value_or("") : "";
}

std::string SimWorkspace::homeDirectory() {
    std::lock_guard lock(desktop_.mutex_);
    return desktop_.state_->homeDirectory;
}

std::string SimWorkspace::desktopDirectory() {
    return (std::filesystem::path(homeDirectory()) / "Desktop").string();
}

std::string SimWorkspace::temporaryDirectory() {
    std::lock_guard lock(desktop_.mutex_);
    return desktop_.state_->temporaryDirectory;
}

}  // namespace orvex

#include <algorithm>

#include "desktop/sim/sim_state.h"

namespace orvex {

bool SimState::setActiveTab(SimWindow& w, int index) {
    if (index < 1 || index > static_cast<int>(w.tabs.size()))
        return false;
    w.activeTab = static_cast<std::size_t>(index - 1);
    showActiveTab(w);
    record(
        "tabActivated",
        {{"app", w.appKey}, {"window", w.id}, {"index", index}, {"url", w.tabs[w.activeTab].url}});
    return true;
}

SimTabId SimState::openTab(SimWindow& w, const std::string& url) {
    w.tabs.push_back(createTab(w, tabForURL(url)));
    w.activeTab = w.tabs.size() - 1;
    showActiveTab(w);
    record("tabOpened", {{"app", w.appKey}, {"window", w.id}, {"url", url}});
    return w.tabs.back().id;
}

std::optional<SimWindowId> SimState::openWindow(SimApp& app) {
    if (!app.running)
        return std::nullopt;
    return createWindow(app, standardWindow(app));
}

bool SimState::setTabURL(SimWindow& w, int index, const std::string& url) {
    if (index < 1 || index > static_cast<int>(w.tabs.size()))
        return false;
    SimTab& tab = w.tabs[static_cast<std::size_t>(index - 1)];
    destroyNode(tab.webArea);
    tab = createTab(w, tabForURL(url), tab.id);
    if (static_cast<std::size_t>(index - 1) == w.activeTab)
        showActiveTab(w);
    record("tabNavigated", {{"app", w.appKey}, {"window", w.id}, {"index", index}, {"url", url}});
    return true;
}

std::optional<SimWindowId> SimState::showFolder(const std::string& folder) {
    SimApp* manager = fileManager();
    if (!manager)
        return std::nullopt;
    if (!manager->running && launch(*manager, false, "showFolder"))
        return std::nullopt;
    for (SimWindowId id : manager->windows) {
        SimWindow& existing = windows.at(id);
        if (existing.folder == folder) {
            setMinimized(existing, false, "showFolder");
            raise(existing);
            record("folderShown", {{"folder", folder}, {"window", id}});
            return id;
        }
    }
    SimWindowSpec definition;
    definition.folder = folder;
    SimWindowId id = createWindow(*manager, definition);
    record("folderShown", {{"folder", folder}, {"window", id}});
    return id;
}

SimApp* SimState::fileManager() {
    for (SimApp& app : apps) {
        if (app.definition.kind == SimAppKind::fileManager)
            return &app;
    }
    return nullptr;
}

SimApp* SimState::defaultBrowserApp() {
    if (defaultBrowser) {
        if (SimApp* app = findApp(*defaultBrowser))
            return app;
    }
    for (SimApp& app : apps) {
        if (app.definition.installed && app.definition.opensHttps.value_or(false))
            return &app;
    }
    return nullptr;
}

}  // namespace orvex

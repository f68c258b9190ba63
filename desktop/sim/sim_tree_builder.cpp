#include <algorithm>
#include <filesystem>

#include "desktop/sim/sim_state.h"
#include "desktop/sim/sim_text.h"

namespace orvex {
namespace {

SimFrame frameAt(double x, double y, double width, double height) {
    return SimFrame{AXPoint{x, y}, AXSize{width, height}};
}

SimElementSpec element(std::string role, std::string id, SimFrame frame) {
    SimElementSpec definition;
    definition.role = std::move(role);
    definition.id = std::move(id);
    definition.frame = frame;
    return definition;
}

// The content of a chat, in an application window or a web page: the history above the
// message input and its send button.
SimElementSpec chatPane(const SimFrame& area, const std::string& name,
                        const std::optional<std::string>& inputLabel) {
    const double x = area.position.x, y = area.position.y;
    const double w = area.size.width, h = area.size.height;
    SimElementSpec pane = element("AXGroup", "chat", area);
    pane.children.push_back(element("AXList", "history", frameAt(x + 20, y + 12, w - 40, h - 200)));
    SimElementSpec input =
        element("AXTextArea", "input", frameAt(x + 20, y + h - 160, w - 40, 110));
    input.value = "";
    input.settable = true;
    input.sendsOnReturn = true;
    input.placeholder = "Message " + name;
    if (inputLabel)
        input.description = *inputLabel;
    pane.children.push_back(input);
    SimElementSpec send = element("AXButton", "send", frameAt(x + w - 60, y + h - 44, 40, 30));
    send.title = "Send";
    pane.children.push_back(send);
    return pane;
}

bool isTextRole(const std::string& role) {
    return role == "AXTextArea" || role == "AXTextField" || role == "AXComboBox";
}

std::string hostOf(const std::string& url) {
    auto scheme = url.find("://");
    if (scheme == std::string::npos)
        return "";
    std::string rest = url.substr(scheme + 3);
    rest = rest.substr(0, rest.find_first_of("/?#"));
    if (auto at = rest.rfind('@'); at != std::string::npos)
        rest = rest.substr(at + 1);
    return rest.substr(0, rest.find(':'));
}

}  // namespace

SimWindowSpec SimState::standardWindow(const SimApp& app) const {
    if (app.definition.launchWindow)
        return *app.definition.launchWindow;
    SimWindowSpec definition;
    switch (app.definition.kind) {
        case SimAppKind::editor:
            definition.title = "Untitled";
            break;
        case SimAppKind::terminal:
            definition.title = "Terminal";
            break;
        case SimAppKind::browser:
            definition.tabs.push_back(tabForURL("about:blank"));
            break;
        case SimAppKind::fileManager: {
            // A new file-manager window opens where the user's preference says.
            auto target = defaults.find("com.apple.finder");
            std::string folder = homeDirectory;
            if (target != defaults.end()) {
                auto value = target->second.find("NewWindowTarget");
                if (value != target->second.end()) {
                    if (value->second == "PfDe")
                        folder += "/Desktop";
                    if (value->second == "PfDo")
                        folder += "/Documents";
                    if (value->second == "PfVo")
                        folder = "/";
                    auto path = target->second.find("NewWindowTargetPath");
                    if (value->second == "PfLo" && path != target->second.end() &&
                        path->second.rfind("file://", 0) == 0) {
                        folder = path->second.substr(7);
                    }
                }
            }
            definition.folder = folder;
            break;
        }
        default:
            definition.title = app.definition.name;
            break;
    }
    return definition;
}

SimWindowId SimState::createWindow(SimApp& app, const SimWindowSpec& definition) {
    SimWindow created;
    created.id = nextId++;
    created.appKey = app.key;
    created.pid = app.pid;
    const double offset = 30.0 * static_cast<double>(app.windows.size());
    created.frame = definition.frame.value_or(frameAt(120 + offset, 90 + offset, 900, 700));
    created.minimized = definition.minimized;
    created.title = definition.title;
    if (app.definition.kind == SimAppKind::fileManager) {
        created.folder = definition.folder.value_or(homeDirectory);
        if (created.title.empty()) {
            std::string name = std::filesystem::path(*created.folder).filename().string();
            created.title = name.empty() ? *created.folder : name;
        }
    }
    if (created.title.empty() && app.definition.kind != SimAppKind::browser)
        created.title = app.definition.name;

    SimNode windowNode;
    windowNode.id = nextId++;
    windowNode.window = created.id;
    windowNode.role = "AXWindow";
    windowNode.frame = created.frame;
    created.node = windowNode.id;
    nodes[windowNode.id] = windowNode;
    windows[created.id] = created;
    app.windows.insert(app.windows.begin(), created.id);
    SimWindow& w = windows[created.id];

    const double x = w.frame.position.x, y = w.frame.position.y;
    const double width = w.frame.size.width, height = w.frame.size.height;
    const SimFrame content = frameAt(x, y + 28, width, std::max(0.0, height - 28));

    if (app.definition.kind == SimAppKind::browser) {
        SimElementSpec toolbar = element("AXGroup", "toolbar", frameAt(x, y + 28, width, 50));
        SimElementSpec address =
            element("AXTextField", "address", frameAt(x + 80, y + 38, width - 160, 30));
        address.value = "";
        address.settable = true;
        address.description = "Address and search bar";
        toolbar.children.push_back(address);
        w.toolbar = addNode(toolbar, w.node, w.id, 0, content, nullptr);
        w.addressField = nodes[w.toolbar].children.front();
        std::vector<SimTabSpec> tabs = definition.tabs;
        if (tabs.empty())
            tabs.push_back(tabForURL("about:blank"));
        for (const SimTabSpec& tab : tabs)
            w.tabs.push_back(createTab(w, tab));
        w.activeTab = static_cast<std::size_t>(
            std::clamp(definition.activeTab, 1, static_cast<int>(w.tabs.size())) - 1);
        showActiveTab(w);
    } else {
        std::vector<SimElementSpec> elements;
        if (definition.elements) {
            elements = *definition.elements;
        } else if (app.definition.kind == SimAppKind::chat) {
            elements.push_back(chatPane(content, app.definition.name, std::nullopt));
        } else if (app.definition.kind == SimAppKind::terminal) {
            SimElementSpec scroll = element("AXScrollArea", "scroll", content);
            SimElementSpec shell = element("AXTextArea", "shell", content);
            shell.value = "";
            shell.settable = true;
            shell.sendsOnReturn = true;
            shell.acceptsImages = false;
            shell.description = "shell";
            shell.focused = true;
            scroll.children.push_back(shell);
            elements.push_back(scroll);
        } else if (app.definition.kind == SimAppKind::editor) {
            SimElementSpec scroll = element("AXScrollArea", "scroll", content);
            SimElementSpec document = element("AXTextArea", "document", content);
            document.value = "";
            document.settable = true;
            document.focused = true;
            scroll.children.push_back(document);
            elements.push_back(scroll);
        } else if (app.definition.kind == SimAppKind::fileManager) {
            SimElementSpec split = element("AXSplitGroup", "split", content);
            split.children.push_back(
                element("AXOutline", "sidebar", frameAt(x, y + 28, 200, content.size.height)));
            SimElementSpec files =
                element("AXScrollArea", "files-scroll",
                        frameAt(x + 200, y + 28, width - 200, content.size.height));
            files.children.push_back(element("AXList", "files", files.frame.value()));
            split.children.push_back(files);
            elements.push_back(split);
        } else {
            elements.push_back(element("AXGroup", "content", content));
        }
        for (const SimElementSpec& child : elements) {
            // addNode may grow the node table, so the id is taken before the parent is looked up.
            SimNodeId childId = addNode(child, w.node, w.id, 0, content, &w.focused);
            nodes[w.node].children.push_back(childId);
        }
    }
    nodes[w.node].title = w.title;
    record("windowOpened", {{"app", app.key}, {"window", w.id}, {"title", w.title}});
    return w.id;
}

SimTab SimState::createTab(SimWindow& window, const SimTabSpec& given, SimTabId id) {
    SimTabSpec definition = given;
    if (definition.page.empty()) {
        definition = tabForURL(given.url);
        if (!given.title.empty())
            definition.title = given.title;
        if (given.inputLabel)
            definition.inputLabel = given.inputLabel;
    }
    SimTab tab;
    tab.id = id != 0 ? id : nextId++;
    tab.url = definition.url;
    tab.title = definition.title.empty() ? definition.url : definition.title;
    const SimFrame& f = window.frame;
    const SimFrame area =
        frameAt(f.position.x, f.position.y + 80, f.size.width, std::max(0.0, f.size.height - 80));
    SimElementSpec webArea = element("AXWebArea", "page", area);
    webArea.title = tab.title;
    if (definition.page == "chat") {
        webArea.children.push_back(chatPane(area, tab.title, definition.inputLabel));
    } else if (definition.page == "custom") {
        webArea.children = definition.elements;
    }
    tab.webArea = addNode(webArea, 0, window.id, tab.id, area, &tab.focused);
    return tab;
}

SimTabSpec SimState::tabForURL(const std::string& url) const {
    // A page registered for a host also serves its subdomains.
    std::string host = hostOf(url);
    auto page = webPages.end();
    while (!host.empty() && page == webPages.end()) {
        page = webPages.find(host);
        auto dot = host.find('.');
        host = dot == std::string::npos ? "" : host.substr(dot + 1);
    }
    SimTabSpec definition = page == webPages.end() ? SimTabSpec{} : page->second;
    definition.url = url;
    if (definition.title.empty())
        definition.title = url == "about:blank" ? "New Tab" : url;
    return definition;
}

void SimState::showActiveTab(SimWindow& w) {
    if (w.tabs.empty())
        return;
    SimTab& tab = w.tabs[w.activeTab];
    SimNode& windowNode = nodes[w.node];
    windowNode.children = {w.toolbar, tab.webArea};
    nodes[tab.webArea].parent = w.node;
    if (SimNode* address = node(w.addressField)) {
        address->value = tab.url == "about:blank" ? "" : tab.url;
        address->selection = AXRange{simtext::length(*address->value), 0};
    }
    w.title = tab.title;
    windowNode.title = w.title;
}

void SimState::destroyNode(SimNodeId id) {
    SimNode* target = node(id);
    if (!target)
        return;
    std::vector<SimNodeId> children = target->children;
    nodes.erase(id);
    for (SimNodeId child : children)
        destroyNode(child);
}

SimNodeId SimState::addNode(const SimElementSpec& definition, SimNodeId parent,
                            SimWindowId windowId, SimTabId tab, const SimFrame& parentFrame,
                            SimNodeId* focused) {
    SimNode created;
    created.id = nextId++;
    created.parent = parent;
    created.window = windowId;
    created.tab = tab;
    created.role = definition.role;
    created.scenarioId = definition.id;
    created.title = definition.title;
    created.description = definition.description;
    created.placeholder = definition.placeholder;
    created.value = definition.value;
    created.settable = definition.settable;
    created.focusable =
        definition.focusable.value_or(definition.settable || isTextRole(definition.role));
    created.sendsOnReturn = definition.sendsOnReturn;
    created.acceptsImages = definition.acceptsImages.value_or(definition.sendsOnReturn);
    created.takesFocusBack = definition.takesFocusBack;
    // An element without a frame of its own covers its parent's area.
    created.frame = definition.frame.value_or(parentFrame);
    if (created.value) {
        std::int64_t length = simtext::length(*created.value);
        created.selection =
            simtext::clamp(definition.selection.value_or(AXRange{length, 0}), length);
    }
    const SimFrame frame = *created.frame;
    nodes[created.id] = created;
    if (definition.focused && focused)
        *focused = created.id;
    for (const SimElementSpec& child : definition.children) {
        SimNodeId childId = addNode(child, created.id, windowId, tab, frame, focused);
        nodes[created.id].children.push_back(childId);
    }
    return created.id;
}

SimNodeId SimState::focusedNode(const SimWindow& w) const {
    SimNodeId id = w.tabs.empty() ? w.focused : w.tabs[w.activeTab].focused;
    return node(id) ? id : 0;
}

void SimState::takeFocusBack(SimWindow& w, const SimNode& focused) {
    SimNode* taker = nullptr;
    for (auto& [id, candidate] : nodes) {
        if (candidate.window == w.id && id != focused.id && candidate.takesFocusBack > 0 &&
            (!taker || id < taker->id)) {
            taker = &candidate;
        }
    }
    if (!taker) {
        return;
    }
    --taker->takesFocusBack;
    setFocusedNode(w, taker->id);
    record("focusTaken", {{"app", w.appKey}, {"element", describe(*taker)}});
}

void SimState::setFocusedNode(SimWindow& w, SimNodeId id) {
    if (w.tabs.empty()) {
        w.focused = id;
        return;
    }
    const SimNode* target = node(id);
    // Focus inside a page belongs to that page's tab; the window's own controls count as
    // the active tab's focus.
    for (SimTab& tab : w.tabs) {
        if (target && target->tab == tab.id) {
            tab.focused = id;
            return;
        }
    }
    w.tabs[w.activeTab].focused = id;
}

bool SimState::isFocused(const SimNode& target) const {
    const SimWindow* w = window(target.window);
    return w && focusedNode(*w) == target.id;
}

SimNode* SimState::findElement(const std::string& app, const std::string& elementId) {
    return const_cast<SimNode*>(std::as_const(*this).findElement(app, elementId));
}

const SimNode* SimState::findElement(const std::string& app, const std::string& elementId) const {
    const SimApp* owner = findApp(app);
    if (!owner || elementId.empty())
        return nullptr;
    std::function<const SimNode*(SimNodeId)> search = [&](SimNodeId id) -> const SimNode* {
        const SimNode* current = node(id);
        if (!current)
            return nullptr;
        if (current->scenarioId == elementId)
            return current;
        for (SimNodeId child : current->children) {
            if (const SimNode* found = search(child))
                return found;
        }
        return nullptr;
    };
    std::vector<const SimWindow*> ordered;
    if (const SimWindow* front = frontWindow(*owner))
        ordered.push_back(front);
    for (SimWindowId id : owner->windows) {
        const SimWindow* w = window(id);
        if (w && std::find(ordered.begin(), ordered.end(), w) == ordered.end())
            ordered.push_back(w);
    }
    for (const SimWindow* w : ordered) {
        if (const SimNode* found = search(w->node))
            return found;
        for (const SimTab& tab : w->tabs) {
            if (const SimNode* found = search(tab.webArea))
                return found;
        }
    }
    return nullptr;
}

std::string SimState::describe(const SimNode& target) {
    return target.scenarioId.empty() ? target.role : target.scenarioId;
}

}  // namespace orvex

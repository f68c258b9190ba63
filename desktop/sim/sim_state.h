#pragma once

// The model behind SimDesktop. Internal to the simulated desktop: every member function
// expects the desktop's mutex to be held by its caller, and none of them locks.

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/clock.h"
#include "base/json.h"
#include "base/main_queue.h"
#include "desktop/accessibility.h"
#include "desktop/hot_keys.h"
#include "desktop/keyboard.h"
#include "desktop/running_apps.h"
#include "desktop/sim/sim_journal.h"
#include "desktop/sim/sim_types.h"
#include "desktop/workspace.h"

namespace orvex {

struct SimNode {
    SimNodeId id = 0;
    SimNodeId parent = 0;  // 0 for a window's own node
    SimWindowId window = 0;
    SimTabId tab = 0;  // set for the nodes of a browser page
    std::string role;
    std::string scenarioId;
    std::optional<std::string> title;
    std::optional<std::string> description;
    std::optional<std::string> placeholder;
    std::optional<std::string> value;
    bool settable = false;
    bool focusable = false;
    bool sendsOnReturn = false;
    bool acceptsImages = false;
    int takesFocusBack = 0;
    AXRange selection;
    std::optional<SimFrame> frame;
    std::vector<SimImage> attachments;
    std::vector<SimNodeId> children;
};

struct SimTab {
    SimTabId id = 0;
    std::string url;
    std::string title;
    SimNodeId webArea = 0;
    SimNodeId focused = 0;
};

struct SimWindow {
    SimWindowId id = 0;
    std::string appKey;
    std::int32_t pid = 0;
    std::string title;
    SimFrame frame;
    bool minimized = false;
    std::optional<std::string> folder;
    SimNodeId node = 0;     // the "AXWindow" element
    SimNodeId focused = 0;  // windows without tabs
    std::vector<SimTab> tabs;
    std::size_t activeTab = 0;  // index into tabs
    SimNodeId toolbar = 0;      // browser: the window's own controls
    SimNodeId addressField = 0;
};

struct SimApp {
    std::string key;
    SimAppSpec definition;  // path and opensHttps filled in
    bool running = false;
    std::int32_t pid = 0;
    std::vector<SimWindowId> windows;  // front to back
};

struct SimProcessRecord {
    std::string appKey;
    bool terminated = false;
};

// Which accessibility element an AXElement reference stands for.
struct SimAXTarget {
    enum class Kind { application, systemWide, node };
    Kind kind = Kind::node;
    std::int32_t pid = 0;
    SimNodeId node = 0;
};

using SimInProcessTool =
    std::function<int(const std::vector<std::string>& arguments, std::string& standardOutput,
                      std::string& standardError)>;

struct SimState {
    SimState(Clock& clock, MainQueue& mainQueue);

    Clock& clock;
    MainQueue& mainQueue;
    Clock::TimePoint start;
    SimJournal journal;
    // While above zero, nothing is journaled (the scenario being set up is not an event).
    int quiet = 0;

    // Makes the interface objects handed out in results and events (set by SimDesktop).
    std::function<AXElementRef(const SimAXTarget&)> makeElement;
    std::function<RunningApplicationRef(std::int32_t pid)> makeApplication;

    std::vector<SimApp> apps;  // in the order they were added
    std::map<std::int32_t, SimProcessRecord> processes;
    std::vector<std::int32_t> launchOrder;      // running order of the workspace
    std::vector<std::int32_t> activationOrder;  // most recently active first
    std::map<SimWindowId, SimWindow> windows;
    std::unordered_map<SimNodeId, SimNode> nodes;
    std::int32_t frontmostPid = 0;
    std::int32_t nextPid = 500;
    std::uint64_t nextId = 1;

    std::string selfKey;
    std::string homeDirectory = "/tmp/orvex-sim/home";
    std::string temporaryDirectory = "/tmp/orvex-sim/tmp";
    std::map<SimPermission, SimPermissionState> permissions;
    std::set<SimPermission> prompted;
    std::vector<std::string> preferredLanguages = {"en"};
    std::map<std::string, std::map<std::string, std::string>> defaults;
    std::optional<std::string> defaultBrowser;
    std::map<std::string, SimTabSpec> webPages;  // by host

    std::optional<std::string> pasteboardText;
    std::optional<SimImage> pasteboardImage;
    std::set<std::uint16_t> heldKeys;

    std::deque<SimCaptureResult> captures;
    SimCaptureResult defaultCapture;

    std::vector<SimMessage> messages;

    std::map<std::uint32_t, std::pair<std::uint32_t, std::uint32_t>> hotKeys;  // id → key
    std::set<std::pair<std::uint32_t, std::uint32_t>> reservedHotKeys;
    HotKeys::Handler hotKeyHandler;

    std::uint64_t nextSubscription = 1;
    std::map<std::uint64_t, Workspace::ActivationHandler> activationHandlers;
    std::map<std::uint64_t, Workspace::WakeHandler> wakeHandlers;

    std::map<std::string, SimInProcessTool> tools;

    // ---- Basics (sim_state.cpp)
    void record(const std::string& event, Json fields = Json::object());
    std::int64_t elapsedMilliseconds() const;
    bool granted(SimPermission permission) const;
    // Asks for a permission: journals the prompt; `grantedOnPrompt` turns granted.
    void prompt(SimPermission permission);
    SimApp* findApp(const std::string& app);
    const SimApp* findApp(const std::string& app) const;
    SimApp* appByPid(std::int32_t pid);
    const SimApp* appByPid(std::int32_t pid) const;
    SimApp* selfApp();
    SimWindow* window(SimWindowId id);
    const SimWindow* window(SimWindowId id) const;
    SimNode* node(SimNodeId id);
    const SimNode* node(SimNodeId id) const;
    SimAppInfo info(const SimApp& app) const;
    SimWindowInfo info(const SimWindow& window) const;
    // The journal's name for an application.
    static Json appName(const SimApp* app);

    // ---- Applications (sim_state.cpp)
    std::optional<std::string> addApplication(const SimAppSpec& definition);
    // Starts the application with its launch window; an error text when it cannot start.
    std::optional<std::string> launch(SimApp& app, bool activates, const std::string& reason);
    // Brings a running application forward; false when no such process runs.
    bool activate(std::int32_t pid, const std::string& by);
    void terminate(SimApp& app);
    // The first window that is not minimized.
    SimWindow* frontWindow(SimApp& app);
    const SimWindow* frontWindow(const SimApp& app) const;
    void raise(SimWindow& window);
    void setMinimized(SimWindow& window, bool minimized, const std::string& by);
    void closeWindow(SimWindowId id);
    void emitWake();

    // ---- Trees (sim_tree_builder.cpp)
    SimWindowId createWindow(SimApp& app, const SimWindowSpec& definition);
    // The window the application opens when launched or reopened without windows.
    SimWindowSpec standardWindow(const SimApp& app) const;
    SimTab createTab(SimWindow& window, const SimTabSpec& definition, SimTabId id = 0);
    // The tab definition for a URL: the page registered for its host, else a blank page.
    SimTabSpec tabForURL(const std::string& url) const;
    void showActiveTab(SimWindow& window);
    void destroyNode(SimNodeId id);
    SimNodeId addNode(const SimElementSpec& definition, SimNodeId parent, SimWindowId window,
                      SimTabId tab, const SimFrame& parentFrame, SimNodeId* focused);

    // ---- Focus and elements (sim_tree_builder.cpp)
    // The focused element of a window (its active tab's for a browser); 0 if none.
    SimNodeId focusedNode(const SimWindow& window) const;
    void setFocusedNode(SimWindow& window, SimNodeId node);
    // After `focused` got the focus: an element of the window that takes it back (the one
    // with the lowest id) does so and has one time less left.
    void takeFocusBack(SimWindow& window, const SimNode& focused);
    bool isFocused(const SimNode& node) const;
    // The element with this scenario id: front window first (active tab first).
    SimNode* findElement(const std::string& app, const std::string& elementId);
    const SimNode* findElement(const std::string& app, const std::string& elementId) const;
    // Journal description of an element: its scenario id, else its role.
    static std::string describe(const SimNode& node);

    // ---- Keyboard (sim_keystrokes.cpp)
    KeyModifiers heldModifiers() const;
    std::optional<std::string> typeCharacters(const std::string& characters,
                                              KeyModifiers modifiers);
    std::optional<std::string> typeKeyCode(std::uint16_t code, KeyModifiers modifiers);
    void keyUp(std::uint16_t code);

    // ---- Pasteboard (sim_keystrokes.cpp)
    void clearPasteboard(const std::string& by);
    void writePasteboardText(const std::string& text, const std::string& by);
    void writePasteboardImage(SimImage image, const std::string& by);

    // ---- Browser and file manager (sim_browser.cpp)
    bool setActiveTab(SimWindow& window, int index);
    SimTabId openTab(SimWindow& window, const std::string& url);
    std::optional<SimWindowId> openWindow(SimApp& app);
    bool setTabURL(SimWindow& window, int index, const std::string& url);
    std::optional<SimWindowId> showFolder(const std::string& folder);
    SimApp* fileManager();
    SimApp* defaultBrowserApp();

    // ---- Accessibility (sim_ax_model.cpp)
    AXResult axRead(const SimAXTarget& target, const std::string& name);
    AXError axSettable(const SimAXTarget& target, const std::string& name, bool& settable);
    AXError axWrite(const SimAXTarget& target, const std::string& name, const AXValue& value);

  private:
    AXError axCheck(const SimAXTarget& target) const;
    AXResult axReadApplication(const SimApp& app, const std::string& name);
    AXResult axReadNode(const SimNode& node, const std::string& name);
    void applyKey(const std::string& key, KeyModifiers modifiers);
    void sendMessage(SimApp& app, SimWindow& window, SimNode& input);
    void newChat(SimApp& app, SimWindow& window);
};

}  // namespace orvex

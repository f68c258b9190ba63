#pragma once

// The simulated desktop: one object owning a model of applications, windows, accessibility
// trees, browser tabs, the pasteboard, the keyboard and the permissions, with an
// implementation of every desktop interface on top of it. Time is the given clock's, events
// go to the given main queue, and every observable effect is written to the journal.
//
// Applications are named by a key: the bundle identifier, or the name for an application
// that has none. Calls that take `app` accept the key or the application's name.
//
// Thread safety: every public method may be called from any thread; the model is guarded
// by one mutex. Event handlers (activation, wake, hot keys) run later on the main queue.
// In-process tools run outside the lock, so they can query the model themselves.

#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/clock.h"
#include "base/json.h"
#include "base/main_queue.h"
#include "desktop/desktop.h"
#include "desktop/sim/sim_types.h"

namespace orvex {

struct SimState;
class SimWorkspace;
class SimRunningApplications;
class SimPasteboard;
class SimAccessibility;
class SimKeyboard;
class SimHotKeys;
class SimScreenCapture;
class SimProcesses;
class SimUserDefaults;
class SimAXElement;
class SimRunningApplication;

class SimDesktop : public std::enable_shared_from_this<SimDesktop> {
  public:
    // The own application is present from the start, running, with bundle identifier
    // "com.tavrin.orvex"; setSelf changes it.
    static std::shared_ptr<SimDesktop> create(Clock& clock, MainQueue& mainQueue);
    ~SimDesktop();
    SimDesktop(const SimDesktop&) = delete;
    SimDesktop& operator=(const SimDesktop&) = delete;

    // ---- The capabilities -------------------------------------------------------------
    // All interfaces, pointing into this object. `scriptHost` is whatever setScriptHost
    // installed (the script interpreter lives elsewhere), null until then.
    Desktop desktop();
    void setScriptHost(ScriptHost* host);
    SimWorkspace& workspace();
    SimRunningApplications& runningApplications();
    SimPasteboard& pasteboard();
    SimAccessibility& accessibility();
    SimKeyboard& keyboard();
    SimHotKeys& hotKeys();
    SimScreenCapture& screenCapture();
    SimProcesses& processes();
    SimUserDefaults& userDefaults();
    Clock& clock();

    // ---- Setting up (scenario loading, tests) --------------------------------------------
    // While on, nothing is journaled and no event is delivered: building the starting state
    // is not something that happened on the desktop.
    void setSetupMode(bool on);
    // Makes a running application frontmost (use in setup mode for the starting state).
    bool setFrontmost(const std::string& app);
    void setSelf(const std::string& bundleId, const std::string& name);
    void setHomeDirectory(const std::filesystem::path& path);
    void setTemporaryDirectory(const std::filesystem::path& path);
    std::filesystem::path homeDirectory() const;
    std::filesystem::path temporaryDirectory() const;
    void setPermission(SimPermission permission, SimPermissionState state);
    // Whether the permission is granted now.
    bool permissionGranted(SimPermission permission) const;
    // Asks for a permission as automation consent does: the first request prompts and
    // waits for the answer (`grantedOnPrompt` is granted by then); later ones do not ask
    // again. Whether the permission is granted after the request.
    bool requestPermission(SimPermission permission);
    void setPreferredLanguages(std::vector<std::string> languages);
    void setDefault(const std::string& suite, const std::string& key, const std::string& value);
    std::optional<std::string> defaultValue(const std::string& suite, const std::string& key) const;
    // The browser that opens web links; by default the first installed https handler.
    void setDefaultBrowser(const std::string& app);
    // Adds an application (installed, and running with its windows when the definition says so).
    // Fails when its key is already taken or the definition is inconsistent.
    std::optional<std::string> addApplication(const SimAppSpec& definition);
    // The page a browser tab shows for URLs of `host` (its `url` is replaced by the tab's).
    void setWebPage(const std::string& host, const SimTabSpec& page);
    // The outcome of the next interactive capture; without queued outcomes every capture
    // succeeds with the default size.
    void queueCapture(SimCaptureResult result);
    void setDefaultCapture(SimCaptureResult result);
    // A shortcut some other application holds: registering it fails.
    void reserveHotKey(std::uint32_t keyCode, std::uint32_t modifiers);
    // Writes every journal line (from now on) to this file as well, appending.
    std::optional<std::string> setJournalFile(const std::filesystem::path& path);

    // ---- The user at the machine --------------------------------------------------------
    // Brings an application forward as a click on it would; false when it does not run.
    bool userActivate(const std::string& app);
    // Presses modifiers down and keeps them down (the hot key still held).
    void holdModifiers(KeyModifiers modifiers);
    void releaseAllModifiers();
    // Clicks into an element (by its scenario id) of the application's front window.
    bool userFocus(const std::string& app, const std::string& elementId);
    // Selects a range of an element's text.
    bool userSelect(const std::string& app, const std::string& elementId, AXRange range);
    // Presses a global shortcut (key code, modifier mask of the hot-key tables).
    void pressHotKey(std::uint32_t keyCode, std::uint32_t modifiers);
    // The machine wakes from sleep.
    void wake();
    // Quits an application; its references then read as terminated.
    bool terminate(const std::string& app);
    bool setWindowMinimized(SimWindowId window, bool minimized);
    bool closeWindow(SimWindowId window);

    // ---- What scripts do to applications ------------------------------------------------
    // Every application known to the desktop, installed or running, in launch order.
    std::vector<SimAppInfo> applications() const;
    std::optional<SimAppInfo> application(const std::string& app) const;
    std::optional<SimAppInfo> frontmostApplication() const;
    // The application's windows, front to back.
    std::vector<SimWindowInfo> windows(const std::string& app) const;
    std::optional<SimWindowInfo> window(SimWindowId id) const;
    // Launches the application if needed (opening its standard window) and brings it
    // forward; an error message when it is not installed or fails to launch.
    std::optional<std::string> activateApplication(const std::string& app);
    // Types characters ("\r" = Return) into the frontmost application with `modifiers`
    // pressed (held modifiers add to them). An error message when synthetic input is
    // refused (no accessibility permission).
    std::optional<std::string> keystroke(const std::string& characters, KeyModifiers modifiers);
    std::optional<std::string> keyCode(std::uint16_t code, KeyModifiers modifiers);
    // Makes the window the application's front window (a browser's "index of w to 1").
    bool raiseWindow(SimWindowId window);
    // Browser: makes tab `index` (from 1) of the window active.
    bool setActiveTab(SimWindowId window, int index);
    // Browser: opens a tab on `url` at the end of the window and makes it active.
    std::optional<SimTabId> openTab(SimWindowId window, const std::string& url);
    // Opens a new front window of the application (a browser's gets one blank tab).
    std::optional<SimWindowId> openWindow(const std::string& app);
    // Browser: loads `url` in tab `index` (from 1) of the window.
    bool setTabURL(SimWindowId window, int index, const std::string& url);
    // File manager: shows `folder` in a window, reusing one that already shows it.
    std::optional<SimWindowId> showFolderWindow(const std::string& folder);

    // ---- Observing -----------------------------------------------------------------------
    // Journal: one JSON object per event, keys sorted, in order.
    std::vector<Json> journal() const;
    std::vector<std::string> journalLines() const;
    std::vector<SimMessage> messages() const;
    std::optional<std::string> pasteboardText() const;
    std::optional<SimImage> pasteboardImage() const;
    KeyModifiers heldModifiers() const;
    std::optional<std::string> elementValue(const std::string& app,
                                            const std::string& elementId) const;
    std::optional<AXRange> elementSelection(const std::string& app,
                                            const std::string& elementId) const;
    // The scenario id of the element focused in the application's front window.
    std::optional<std::string> focusedElementId(const std::string& app) const;
    // Images attached to an input by pastes and not yet sent.
    int attachedImages(const std::string& app, const std::string& elementId) const;

  private:
    SimDesktop(Clock& clock, MainQueue& mainQueue);

    friend class SimWorkspace;
    friend class SimRunningApplications;
    friend class SimPasteboard;
    friend class SimAccessibility;
    friend class SimKeyboard;
    friend class SimHotKeys;
    friend class SimScreenCapture;
    friend class SimProcesses;
    friend class SimUserDefaults;
    friend class SimAXElement;
    friend class SimRunningApplication;

    Clock& clock_;
    MainQueue& mainQueue_;
    mutable std::mutex mutex_;
    std::unique_ptr<SimState> state_;
    ScriptHost* scriptHost_ = nullptr;
    std::unique_ptr<SimWorkspace> workspace_;
    std::unique_ptr<SimRunningApplications> runningApplications_;
    std::unique_ptr<SimPasteboard> pasteboard_;
    std::unique_ptr<SimAccessibility> accessibility_;
    std::unique_ptr<SimKeyboard> keyboard_;
    std::unique_ptr<SimHotKeys> hotKeys_;
    std::unique_ptr<SimScreenCapture> screenCapture_;
    std::unique_ptr<SimProcesses> processes_;
    std::unique_ptr<SimUserDefaults> userDefaults_;
};

}  // namespace orvex

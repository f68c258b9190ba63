#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/clock.h"
#include "desktop/linux/chromium/browser_profile.h"
#include "desktop/linux/chromium/devtools_socket.h"

namespace orvex::chromium {

struct BrowserTab {
    std::string targetId;
    std::string url;
    std::string title;
};

struct BrowserWindow {
    std::int64_t windowId = 0;  // the browser's own number for the window
    std::vector<BrowserTab> tabs;
    int activeTab = 1;  // 1-based
    const BrowserTab& active() const { return tabs.at(static_cast<std::size_t>(activeTab - 1)); }
};

// A top-level window of the browser as the window manager sees it.
struct StackedWindow {
    std::uint64_t id = 0;
    std::string title;
    // The window manager's active window: the one keystrokes reach.
    bool active = false;
};

// What the window system tells about the browser's windows; the DevTools protocol knows
// nothing of which window is in front.
class BrowserWindowStack {
  public:
    virtual ~BrowserWindowStack() = default;
    // The windows of process `pid`: the active one first, then the others top to bottom.
    virtual std::vector<StackedWindow> windowsOf(std::int32_t pid) = 0;
    virtual bool raise(std::uint64_t id) = 0;
};

class BrowserError : public std::runtime_error {
  public:
    enum class Kind {
        notInstalled,
        // Running on Orvex's profile without a debugging port: starting it again would only
        // hand the request to that browser.
        notDrivable,
        failed,
    };
    BrowserError(Kind kind, const std::string& message)
        : std::runtime_error(message), kind_(kind) {}
    Kind kind() const { return kind_; }

  private:
    Kind kind_;
};

struct BrowserOptions {
    // Tried in order: names on `searchPath`, or paths.
    std::vector<std::string> binaries{"chromium", "google-chrome", "google-chrome-stable",
                                      "chromium-browser"};
    std::string searchPath;
    std::filesystem::path profileDirectory;
    std::filesystem::path logFile;  // the browser's own output
    std::vector<std::string> extraArguments;
    std::chrono::milliseconds startTimeout{20000};
};

// Orvex's Chromium, driven over the DevTools protocol: started on demand on a profile of
// its own with a debugging port, its windows and tabs read and changed by the scripts.
// Tabs are in the protocol's target order (it has no tab strip order). Safe to use from
// any thread; calls are serialized.
class ChromiumBrowser {
  public:
    static constexpr std::chrono::milliseconds kCallTimeout{3000};
    // A tab that does not say whether it is visible in this time (a page showing an alert)
    // is taken for a background tab.
    static constexpr std::chrono::milliseconds kTabAnswerTimeout{500};

    ChromiumBrowser(BrowserOptions options, Clock& clock,
                    std::shared_ptr<BrowserWindowStack> windowStack);
    ~ChromiumBrowser();

    // Whether a browser binary is there to start.
    bool installed() const;
    // The process holding Orvex's profile, when one does.
    std::optional<std::int32_t> runningPid() const;
    // Makes sure the browser runs and answers on its port: connects, or starts it and waits
    // for it. Throws BrowserError.
    void start();
    // The windows, front first; none when the browser is not running (it is not started).
    // A script asks for them again and again while it walks the tabs, so what was read is
    // kept for kSnapshotLifetime unless something is changed meanwhile.
    std::vector<BrowserWindow> windows();
    static constexpr std::chrono::milliseconds kSnapshotLifetime{250};
    // One tab as it is now; nothing when it is gone.
    std::optional<BrowserTab> tab(const std::string& targetId);
    // Makes the tab the active one of its window.
    void activateTab(const std::string& targetId);
    // Brings the window in front of every other.
    void raise(const BrowserWindow& window);
    // Brings the browser's front window forward (starting the browser when needed).
    void bringToFront();
    // A new tab on `url` in the window in front (the browser opens tabs in its last active
    // window); its target id.
    std::string newTab(const std::string& url);
    // A new window on `url`, in front once it shows; its target id.
    std::string newWindow(const std::string& url);
    void navigate(const std::string& targetId, const std::string& url);

  private:
    DevToolsSocket& connection();  // the browser's socket; starts nothing
    std::optional<DevToolsEndpoint> endpoint() const;
    void launch(const std::string& binary);
    std::vector<BrowserWindow> readWindows();
    // [visible, focused] of a page; nothing when it does not answer in time.
    std::optional<std::pair<bool, bool>> pageState(const std::string& targetId);
    Json onPage(const std::string& targetId, const std::string& method, const Json& params,
                std::chrono::milliseconds timeout);
    void order(std::vector<BrowserWindow>& windows, const std::vector<std::int64_t>& focused);
    // Waits until the tab is the active one of the front window, as the browser and the
    // window manager see it (the window manager's active window); false after `timeout`.
    bool waitUntilFront(const std::string& targetId, std::chrono::milliseconds timeout);
    // Whether the window manager has the window in front (true when it cannot be asked).
    bool windowManagerShows(const BrowserWindow& window);
    // Asks the window manager to activate the window whose title shows the tab.
    void activateWindowShowing(const BrowserTab& tab);

    BrowserOptions options_;
    Clock& clock_;
    std::shared_ptr<BrowserWindowStack> windowStack_;
    mutable std::recursive_mutex mutex_;
    std::unique_ptr<DevToolsSocket> browser_;
    std::optional<DevToolsEndpoint> connectedTo_;
    // The active tab each window had when last seen: a window whose tabs are all hidden
    // (minimized) keeps the tab it showed.
    std::map<std::int64_t, std::string> lastActive_;
    std::optional<std::pair<Clock::TimePoint, std::vector<BrowserWindow>>> snapshot_;
};

}  // namespace orvex::chromium

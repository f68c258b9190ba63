#include "desktop/linux/chromium/chromium_browser.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace orvex::chromium {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr auto kConnectTimeout = 1000ms;
constexpr auto kPollInterval = 100ms;
// A browser holding the profile may be just starting; it gets this long to open its port
// before it counts as one that runs without it.
constexpr auto kStartingBrowserGrace = 3000ms;
constexpr auto kFrontTimeout = 3000ms;
// A browser just started maps its first window late on a busy machine, and the script that
// asked for the window goes on to type into it.
constexpr auto kNewWindowTimeout = 20000ms;
// How often a window that is shown but not focused is asked for again.
constexpr auto kActivationRetry = 1000ms;

std::string readText(const fs::path& file) {
    std::ifstream in(file);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Whether a window-manager title belongs to the window showing this tab ("Title -
// Chromium"); a tab without a title shows its address.
bool titleShows(const std::string& windowTitle, const BrowserTab& tab) {
    for (const std::string& shown : {tab.title, tab.url}) {
        if (!shown.empty() && (windowTitle == shown || windowTitle.starts_with(shown + " - "))) {
            return true;
        }
    }
    return false;
}

}  // namespace

ChromiumBrowser::ChromiumBrowser(BrowserOptions options, Clock& clock,
                                 std::shared_ptr<BrowserWindowStack> windowStack)
    : options_(std::move(options)), clock_(clock), windowStack_(std::move(windowStack)) {}

ChromiumBrowser::~ChromiumBrowser() = default;

bool ChromiumBrowser::installed() const {
    return findBrowserBinary(options_.binaries, options_.searchPath).has_value();
}

std::optional<std::int32_t> ChromiumBrowser::runningPid() const {
    return profileOwner(options_.profileDirectory);
}

std::optional<DevToolsEndpoint> ChromiumBrowser::endpoint() const {
    return parseDevToolsActivePort(readText(options_.profileDirectory / "DevToolsActivePort"));
}

DevToolsSocket& ChromiumBrowser::connection() {
    std::optional<DevToolsEndpoint> current = endpoint();
    if (browser_ && browser_->open() && current && connectedTo_ &&
        current->port == connectedTo_->port && current->browserPath == connectedTo_->browserPath) {
        return *browser_;
    }
    browser_.reset();
    if (!current) {
        throw DevToolsError(DevToolsError::Kind::connection, "the browser has no debugging port");
    }
    browser_ = DevToolsSocket::connect(current->port, current->browserPath, kConnectTimeout);
    connectedTo_ = current;
    return *browser_;
}

void ChromiumBrowser::start() {
    std::lock_guard lock(mutex_);
    auto answers = [this] {
        try {
            connection().call("Browser.getVersion", {}, kConnectTimeout);
            return true;
        } catch (const DevToolsError&) {
            return false;
        }
    };
    if (answers()) {
        return;
    }
    if (runningPid()) {
        for (auto waited = 0ms; waited < kStartingBrowserGrace; waited += kPollInterval) {
            clock_.sleepFor(kPollInterval);
            if (answers()) {
                return;
            }
        }
        throw BrowserError(BrowserError::Kind::notDrivable,
                           "The browser on Orvex's profile (" + options_.profileDirectory.string() +
                               ") runs without its debugging port; quit it so that Orvex can "
                               "start it again");
    }
    std::optional<std::string> binary = findBrowserBinary(options_.binaries, options_.searchPath);
    if (!binary) {
        throw BrowserError(BrowserError::Kind::notInstalled, "No Chromium or Google Chrome found");
    }
    launch(*binary);
    for (auto waited = 0ms; waited < options_.startTimeout; waited += kPollInterval) {
        clock_.sleepFor(kPollInterval);
        if (answers()) {
            return;
        }
    }
    throw BrowserError(BrowserError::Kind::failed,
                       "The browser did not open its debugging port in time; its output is in " +
                           options_.logFile.string());
}

void ChromiumBrowser::launch(const std::string& binary) {
    std::error_code ignored;
    fs::create_directories(options_.profileDirectory, ignored);
    fs::permissions(options_.profileDirectory, fs::perms::owner_all, ignored);
    // A port file left by an earlier run would be read as the new browser's.
    fs::remove(options_.profileDirectory / "DevToolsActivePort", ignored);

    std::vector<std::string> arguments{binary};
    for (std::string& argument :
         browserArguments(options_.profileDirectory, geteuid() == 0, options_.extraArguments)) {
        arguments.push_back(std::move(argument));
    }
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    const std::string log = options_.logFile.empty() ? "/dev/null" : options_.logFile.string();
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // The browser is the user's to keep: it outlives Orvex and does not get its signals.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t pid = -1;
    int error = posix_spawn(&pid, binary.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        throw BrowserError(BrowserError::Kind::failed,
                           "Cannot start " + binary + ": " + std::strerror(error));
    }
    std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
}

Json ChromiumBrowser::onPage(const std::string& targetId, const std::string& method,
                             const Json& params, std::chrono::milliseconds timeout) {
    if (!connectedTo_) {
        throw DevToolsError(DevToolsError::Kind::connection, "the browser is not connected");
    }
    // Each page has its own endpoint, so a page that hangs costs only its own connection.
    auto page = DevToolsSocket::connect(connectedTo_->port, "/devtools/page/" + targetId, timeout);
    return page->call(method, params, timeout);
}

std::optional<std::pair<bool, bool>> ChromiumBrowser::pageState(const std::string& targetId) {
    try {
        Json result =
            onPage(targetId, "Runtime.evaluate",
                   {{"expression", "[document.visibilityState === 'visible', document.hasFocus()]"},
                    {"returnByValue", true}},
                   kTabAnswerTimeout);
        const Json& value = result["result"]["value"];
        if (value.is_array() && value.size() == 2 && value[0].is_boolean() &&
            value[1].is_boolean()) {
            return std::pair{value[0].get<bool>(), value[1].get<bool>()};
        }
    } catch (const std::exception&) {
        // not answering, or answering nonsense: a background tab
    }
    return std::nullopt;
}

std::vector<BrowserWindow> ChromiumBrowser::readWindows() {
    Json targets = connection().call("Target.getTargets", {}, kCallTimeout);
    std::vector<BrowserWindow> windows;
    for (const Json& target : targets.value("targetInfos", Json::array())) {
        if (!target.is_object() || target.value("type", "") != "page") {
            continue;
        }
        BrowserTab tab{target.value("targetId", ""), target.value("url", ""),
                       target.value("title", "")};
        std::int64_t windowId = 0;
        try {
            Json found = connection().call("Browser.getWindowForTarget",
                                           {{"targetId", tab.targetId}}, kCallTimeout);
            windowId = found.value("windowId", std::int64_t{0});
        } catch (const DevToolsError& error) {
            if (error.kind() != DevToolsError::Kind::protocol) {
                throw;
            }
            continue;  // closed meanwhile, or not in a window
        }
        auto window = std::find_if(windows.begin(), windows.end(),
                                   [&](const BrowserWindow& w) { return w.windowId == windowId; });
        if (window == windows.end()) {
            windows.push_back(BrowserWindow{windowId, {}, 1});
            window = windows.end() - 1;
        }
        window->tabs.push_back(std::move(tab));
    }

    std::vector<std::int64_t> focused;
    for (BrowserWindow& window : windows) {
        std::optional<int> visible;
        for (std::size_t i = 0; i < window.tabs.size(); ++i) {
            auto state = pageState(window.tabs[i].targetId);
            if (state && state->first && !visible) {
                visible = static_cast<int>(i + 1);
                if (state->second) {
                    focused.push_back(window.windowId);
                }
            }
        }
        if (!visible) {
            auto last = lastActive_.find(window.windowId);
            for (std::size_t i = 0; last != lastActive_.end() && i < window.tabs.size(); ++i) {
                if (window.tabs[i].targetId == last->second) {
                    visible = static_cast<int>(i + 1);
                }
            }
        }
        window.activeTab = visible.value_or(1);
        lastActive_[window.windowId] = window.active().targetId;
    }
    order(windows, focused);
    return windows;
}

void ChromiumBrowser::order(std::vector<BrowserWindow>& windows,
                            const std::vector<std::int64_t>& focused) {
    std::vector<BrowserWindow> ordered;
    auto take = [&](auto matches) {
        auto found = std::find_if(windows.begin(), windows.end(), matches);
        if (found != windows.end()) {
            ordered.push_back(std::move(*found));
            windows.erase(found);
        }
    };
    for (std::int64_t id : focused) {
        take([id](const BrowserWindow& w) { return w.windowId == id; });
    }
    std::optional<std::int32_t> pid = runningPid();
    if (windowStack_ && pid) {
        for (const StackedWindow& stacked : windowStack_->windowsOf(*pid)) {
            take([&](const BrowserWindow& w) { return titleShows(stacked.title, w.active()); });
        }
    }
    for (BrowserWindow& rest : windows) {
        ordered.push_back(std::move(rest));
    }
    windows = std::move(ordered);
}

std::vector<BrowserWindow> ChromiumBrowser::windows() {
    std::lock_guard lock(mutex_);
    if (!runningPid()) {
        return {};
    }
    if (snapshot_ && clock_.now() - snapshot_->first < kSnapshotLifetime) {
        return snapshot_->second;
    }
    start();  // a browser on the profile that cannot be driven is an error, not "no windows"
    std::vector<BrowserWindow> read = readWindows();
    snapshot_.emplace(clock_.now(), read);
    return read;
}

std::optional<BrowserTab> ChromiumBrowser::tab(const std::string& targetId) {
    std::lock_guard lock(mutex_);
    start();
    try {
        Json info = connection().call("Target.getTargetInfo", {{"targetId", targetId}},
                                      kCallTimeout)["targetInfo"];
        return BrowserTab{targetId, info.value("url", ""), info.value("title", "")};
    } catch (const DevToolsError& error) {
        if (error.kind() != DevToolsError::Kind::protocol) {
            throw;
        }
        return std::nullopt;  // no such target any more
    }
}

void ChromiumBrowser::activateTab(const std::string& targetId) {
    std::lock_guard lock(mutex_);
    snapshot_.reset();
    start();
    connection().call("Target.activateTarget", {{"targetId", targetId}}, kCallTimeout);
    // The switch reaches the page a moment later; the next look at the window must see it.
    for (auto waited = 0ms; waited < kFrontTimeout; waited += kPollInterval) {
        auto state = pageState(targetId);
        if (state && state->first) {
            return;
        }
        clock_.sleepFor(kPollInterval);
    }
}

bool ChromiumBrowser::waitUntilFront(const std::string& targetId,
                                     std::chrono::milliseconds timeout) {
    auto sinceAsked = 0ms;
    for (auto waited = 0ms; waited < timeout; waited += kPollInterval) {
        std::vector<BrowserWindow> now = readWindows();
        if (!now.empty() && now.front().active().targetId == targetId) {
            if (windowManagerShows(now.front())) {
                return true;
            }
            // Mapped but not given the focus: a window manager may hold back a window of a
            // process the user has not touched. Keystrokes would go to the window behind.
            if (sinceAsked >= kActivationRetry) {
                activateWindowShowing(now.front().active());
                sinceAsked = 0ms;
            }
        }
        clock_.sleepFor(kPollInterval);
        sinceAsked += kPollInterval;
    }
    return false;
}

bool ChromiumBrowser::windowManagerShows(const BrowserWindow& window) {
    std::optional<std::int32_t> pid = runningPid();
    if (!windowStack_ || !pid) {
        return true;  // nothing to ask: the browser's own order is all there is
    }
    std::vector<StackedWindow> stacked = windowStack_->windowsOf(*pid);
    return !stacked.empty() && stacked.front().active &&
           titleShows(stacked.front().title, window.active());
}

void ChromiumBrowser::activateWindowShowing(const BrowserTab& tab) {
    std::optional<std::int32_t> pid = runningPid();
    if (!windowStack_ || !pid) {
        return;
    }
    for (const StackedWindow& stacked : windowStack_->windowsOf(*pid)) {
        if (titleShows(stacked.title, tab)) {
            windowStack_->raise(stacked.id);
            return;
        }
    }
}

void ChromiumBrowser::raise(const BrowserWindow& window) {
    std::lock_guard lock(mutex_);
    snapshot_.reset();
    start();
    const BrowserTab& tab = window.active();
    connection().call("Target.activateTarget", {{"targetId", tab.targetId}}, kCallTimeout);
    activateWindowShowing(tab);
    waitUntilFront(tab.targetId, kFrontTimeout);
}

void ChromiumBrowser::bringToFront() {
    std::lock_guard lock(mutex_);
    start();
    std::vector<BrowserWindow> now = readWindows();
    if (!now.empty()) {
        raise(now.front());
    }
}

std::string ChromiumBrowser::newTab(const std::string& url) {
    std::lock_guard lock(mutex_);
    snapshot_.reset();
    start();
    Json created = connection().call("Target.createTarget", {{"url", url}}, kCallTimeout);
    std::string targetId = created.value("targetId", "");
    activateTab(targetId);
    return targetId;
}

std::string ChromiumBrowser::newWindow(const std::string& url) {
    std::lock_guard lock(mutex_);
    snapshot_.reset();
    start();
    Json created =
        connection().call("Target.createTarget", {{"url", url}, {"newWindow", true}}, kCallTimeout);
    std::string targetId = created.value("targetId", "");
    waitUntilFront(targetId, kNewWindowTimeout);
    return targetId;
}

void ChromiumBrowser::navigate(const std::string& targetId, const std::string& url) {
    std::lock_guard lock(mutex_);
    snapshot_.reset();
    start();
    onPage(targetId, "Page.navigate", {{"url", url}}, kCallTimeout);
}

}  // namespace orvex::chromium

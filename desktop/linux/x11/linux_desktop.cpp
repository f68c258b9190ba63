#include "desktop/linux/x11/linux_desktop.h"

#include <cstdlib>

#include "base/executable_search.h"
#include "desktop/linux/x11/linux_scripting.h"
#include "desktop/linux/x11/linux_user_defaults.h"
#include "desktop/linux/x11/maim_screen_capture.h"
#include "desktop/linux/x11/posix_processes.h"
#include "desktop/linux/x11/qt_pasteboard.h"
#include "desktop/linux/x11/serialized_accessibility.h"
#include "desktop/linux/x11/x11_event_thread.h"
#include "desktop/linux/x11/x11_hot_keys.h"
#include "desktop/linux/x11/x11_keyboard.h"
#include "desktop/linux/x11/x11_workspace.h"

namespace orvex::linux_desktop {

namespace {

// Orvex drives a Chromium of its own: its profile lives beside Orvex's files, so the
// user's everyday browser is never taken over. ORVEX_BROWSER names another Chromium
// binary (a path, or a name looked up on PATH).
chromium::BrowserOptions browserOptions(const std::filesystem::path& dataDirectory) {
    chromium::BrowserOptions browser;
    if (const char* chosen = std::getenv("ORVEX_BROWSER"); chosen && *chosen) {
        browser.binaries = {chosen};
    }
    browser.searchPath = executableSearchPath();
    browser.profileDirectory = dataDirectory / "browser";
    browser.logFile = dataDirectory / "browser.log";
    return browser;
}

}  // namespace

// Members in the order they are built; destroyed in reverse, so the event thread stops
// before the objects its handler reaches.
class LinuxDesktopParts {
  public:
    std::shared_ptr<X11Applications> applications;
    std::unique_ptr<X11RunningApplications> running;
    std::unique_ptr<X11Workspace> workspace;
    std::unique_ptr<QtPasteboard> pasteboard;
    std::unique_ptr<SerializedAccessibility> accessibility;
    std::unique_ptr<XTestKeyboard> keyboard;
    std::unique_ptr<PosixProcesses> processes;
    std::unique_ptr<MaimScreenCapture> screenCapture;
    std::unique_ptr<LinuxUserDefaults> userDefaults;
    std::unique_ptr<LinuxScripting> scripting;
    std::unique_ptr<X11EventThread> events;
    std::unique_ptr<X11HotKeys> hotKeys;

    ~LinuxDesktopParts() {
        if (events)
            events->setHandler(nullptr);
        hotKeys.reset();
        events.reset();
    }
};

LinuxDesktop::LinuxDesktop() : parts_(std::make_unique<LinuxDesktopParts>()) {}

LinuxDesktop::~LinuxDesktop() = default;

LinuxDesktop::Result LinuxDesktop::create(MainQueue& mainQueue, Clock& clock,
                                          const LinuxDesktopOptions& options) {
    Result result;
    std::string problem;
    auto queries = X11Display::open(&problem);
    if (!queries) {
        result.error = problem;
        return result;
    }
    auto windowManager = windowManagerName(*queries, &problem);
    if (!windowManager) {
        result.error = problem;
        return result;
    }
    auto input = X11Display::open(&problem);
    if (!input) {
        result.error = problem;
        return result;
    }

    std::unique_ptr<LinuxDesktop> desktop(new LinuxDesktop());
    LinuxDesktopParts& parts = *desktop->parts_;
    parts.pasteboard = QtPasteboard::create();
    if (!parts.pasteboard) {
        result.error = "the clipboard needs a Qt GUI application, and this process has none";
        return result;
    }
    auto identities = std::make_shared<const AppIdentityResolver>();
    parts.applications = std::make_shared<X11Applications>(std::move(queries), identities);
    parts.running = std::make_unique<X11RunningApplications>(parts.applications);
    parts.workspace = std::make_unique<X11Workspace>(parts.applications, mainQueue, clock);
    parts.accessibility = std::make_unique<SerializedAccessibility>();

    std::weak_ptr<X11Applications> weakApps = parts.applications;
    QtPasteboard* pasteboard = parts.pasteboard.get();  // outlives the keyboard
    parts.keyboard = XTestKeyboard::create(
        std::move(input), clock,
        [weakApps]() -> KeyboardTarget {
            auto apps = weakApps.lock();
            auto front = apps ? apps->frontmost() : std::nullopt;
            if (!front)
                return {};
            return {front->windowClass, front->executable};
        },
        [pasteboard] { pasteboard->offerClipboardAsPrimary(); }, &problem);
    if (!parts.keyboard) {
        result.error = problem;
        return result;
    }
    parts.processes = std::make_unique<PosixProcesses>(options.toolDirectory);
    parts.screenCapture = std::make_unique<MaimScreenCapture>(
        *parts.processes, *parts.pasteboard, parts.workspace->temporaryDirectory());
    parts.userDefaults =
        std::make_unique<LinuxUserDefaults>(options.dataDirectory / "interface-languages.json");
    parts.scripting = std::make_unique<LinuxScripting>(
        ScriptingServices{parts.applications, parts.workspace.get(), parts.keyboard.get()}, clock,
        *parts.processes, browserOptions(options.dataDirectory));

    parts.events = X11EventThread::start(&problem);
    if (!parts.events) {
        result.error = problem;
        return result;
    }
    parts.hotKeys = std::make_unique<X11HotKeys>(*parts.events, mainQueue);
    X11HotKeys* hotKeys = parts.hotKeys.get();
    X11Workspace* workspace = parts.workspace.get();
    parts.events->setHandler([hotKeys, workspace](X11Display& display, const XEvent& event) {
        hotKeys->handleEvent(display, event);
        workspace->handleEvent(display, event);
    });

    desktop->desktop_ =
        Desktop{parts.running.get(),       parts.workspace.get(), parts.pasteboard.get(),
                parts.accessibility.get(), parts.keyboard.get(),  parts.hotKeys.get(),
                parts.screenCapture.get(), parts.processes.get(), parts.userDefaults.get(),
                &parts.scripting->host()};
    const char* display = std::getenv("DISPLAY");
    desktop->description_ = "the X11 session on display " + std::string(display ? display : "") +
                            " with the window manager " + *windowManager;
    result.desktop = std::move(desktop);
    return result;
}

}  // namespace orvex::linux_desktop

#pragma once

#include <X11/Xlib.h>

#include <map>
#include <memory>
#include <mutex>

#include "base/clock.h"
#include "base/main_queue.h"
#include "desktop/linux/x11/logind_wake_watcher.h"
#include "desktop/linux/x11/x11_applications.h"
#include "desktop/workspace.h"

namespace orvex::linux_desktop {

// The workspace of an X11 session: installed applications are desktop entries (GIO),
// running ones the owners of managed windows, activation events come from the root
// window's _NET_ACTIVE_WINDOW, wake events from logind.
class X11Workspace : public Workspace {
  public:
    X11Workspace(std::shared_ptr<X11Applications> applications, MainQueue& mainQueue, Clock& clock);
    ~X11Workspace() override;

    std::optional<std::string> urlForApplication(const std::string& bundleIdentifier) override;
    // "Terminal" is the session's x-terminal-emulator, "Finder" the default application
    // for folders; any other name is that of an installed desktop entry.
    std::optional<std::string> applicationPathForName(const std::string& name,
                                                      bool includeUtilities) override;
    // A desktop file or a program. When the application already runs with a window (and
    // no new instance is asked for), that window is brought forward, as reopening does;
    // otherwise it is started and, once its first window appears, activated. The
    // completion runs before this returns, on the caller's thread.
    void openApplication(const std::string& applicationPath, const OpenConfiguration& configuration,
                         OpenCompletion completion) override;
    bool openFile(const std::string& path) override;
    bool openURL(const std::string& url) override;
    bool showFolder(const std::string& folderPath) override;
    std::vector<std::string> httpsURLHandlerBundleIds() override;
    std::vector<std::string> installedApplicationNames() override;

    SubscriptionId subscribeDidActivateApplication(ActivationHandler handler) override;
    SubscriptionId subscribeDidWake(WakeHandler handler) override;
    void unsubscribe(SubscriptionId id) override;

    std::optional<std::string> ownBundleIdentifier() override;
    std::string ownApplicationPath() override;
    std::string homeDirectory() override;
    std::string desktopDirectory() override;
    std::string temporaryDirectory() override;

    // Called on the event thread for changes of the root window's properties.
    void handleEvent(X11Display& display, const XEvent& event);
    // How long a started application may take to show its first window.
    static constexpr Clock::Duration kWindowWait = std::chrono::seconds(15);

  private:
    // The running application `path` names, when it has a window to bring forward.
    std::optional<X11AppInfo> runningInstance(const std::string& path);
    // Waits for a window of the started process, or a new window of the same application.
    std::optional<X11AppInfo> waitForWindow(const std::string& path, std::int32_t pid,
                                            const std::vector<ClientWindow>& before);
    bool belongsTo(const X11AppInfo& app, const std::string& path);
    void deliverWake();

    std::shared_ptr<X11Applications> applications_;
    MainQueue& mainQueue_;
    Clock& clock_;
    // Shared with the work posted to the main queue, which looks its handler up when it
    // runs: a subscription ended meanwhile is not called.
    struct Subscriptions {
        std::mutex mutex;
        SubscriptionId nextId = 1;
        std::map<SubscriptionId, ActivationHandler> activation;
        std::map<SubscriptionId, WakeHandler> wake;
        std::int32_t lastActivePid = 0;
    };
    std::shared_ptr<Subscriptions> subscriptions_ = std::make_shared<Subscriptions>();
    std::unique_ptr<LogindWakeWatcher> wake_;
};

}  // namespace orvex::linux_desktop

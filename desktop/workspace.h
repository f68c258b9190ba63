#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "desktop/running_apps.h"

namespace orvex {

// How an application is opened.
struct OpenConfiguration {
    // Bring the application forward once it runs.
    bool activates = true;
    // Start a second instance even when one runs (the restart after a language change).
    bool createsNewApplicationInstance = false;
};

// The workspace: installed applications, launching, opening documents and the events of
// the session. Every method may be called from any thread.
class Workspace {
  public:
    // Called once with the opened application, or with an error description.
    using OpenCompletion =
        std::function<void(RunningApplicationRef application, std::optional<std::string> error)>;
    using ActivationHandler = std::function<void(RunningApplicationRef application)>;
    using WakeHandler = std::function<void()>;
    using SubscriptionId = std::uint64_t;

    virtual ~Workspace() = default;

    // The location of the installed application with this bundle identifier; none when no
    // such application is installed ("installed" means exactly this answer is present).
    virtual std::optional<std::string> urlForApplication(const std::string& bundleIdentifier) = 0;
    // The location of the application with this file name in the platform's application
    // folder (and, with `includeUtilities`, then in its utilities folder); none if absent.
    virtual std::optional<std::string> applicationPathForName(const std::string& name,
                                                              bool includeUtilities) = 0;
    // The names of the installed applications a user can pick, each of which
    // applicationPathForName finds; sorted, each once.
    virtual std::vector<std::string> installedApplicationNames() = 0;
    // Launches (or, when running, reopens) the application at `applicationPath`. The
    // completion may run on any thread, possibly before this call returns.
    virtual void openApplication(const std::string& applicationPath,
                                 const OpenConfiguration& configuration,
                                 OpenCompletion completion) = 0;
    // Opens a file with its default application; true when the workspace accepted it.
    virtual bool openFile(const std::string& path) = 0;
    // Opens a URL (web page or other scheme) with its default application; true when accepted.
    virtual bool openURL(const std::string& url) = 0;
    // Shows a file-manager window rooted at `folderPath` with nothing selected; true when
    // accepted.
    virtual bool showFolder(const std::string& folderPath) = 0;
    // Bundle identifiers of the applications able to open an https URL (order unspecified).
    virtual std::vector<std::string> httpsURLHandlerBundleIds() = 0;

    // Calls `handler` on the main queue after every application activation, with the
    // application that became active. Subscriptions last until unsubscribed.
    virtual SubscriptionId subscribeDidActivateApplication(ActivationHandler handler) = 0;
    // Calls `handler` on the main queue after the machine wakes from sleep.
    virtual SubscriptionId subscribeDidWake(WakeHandler handler) = 0;
    // Ends a subscription; unknown identifiers are ignored.
    virtual void unsubscribe(SubscriptionId id) = 0;

    // This application's own bundle identifier; none when it has none.
    virtual std::optional<std::string> ownBundleIdentifier() = 0;
    // This application's own location, for opening it again.
    virtual std::string ownApplicationPath() = 0;
    // The user's home folder (file-manager targets).
    virtual std::string homeDirectory() = 0;
    // The user's desktop folder (where a new file goes when no file-manager folder is in
    // front): the platform's own, which is not always named "Desktop".
    virtual std::string desktopDirectory() = 0;
    // The user's temporary folder (capture files).
    virtual std::string temporaryDirectory() = 0;
};

}  // namespace orvex

#pragma once

#include "desktop/workspace.h"

namespace orvex {

class SimDesktop;

// The workspace of the simulated desktop. Files and folders are checked on the real file
// system (the scenario's home is a real directory); applications are the model's.
class SimWorkspace final : public Workspace {
  public:
    explicit SimWorkspace(SimDesktop& desktop) : desktop_(desktop) {}

    std::optional<std::string> urlForApplication(const std::string& bundleIdentifier) override;
    std::optional<std::string> applicationPathForName(const std::string& name,
                                                      bool includeUtilities) override;
    // Completes before returning.
    void openApplication(const std::string& applicationPath, const OpenConfiguration& configuration,
                         OpenCompletion completion) override;
    // Accepted when the file exists and an installed application opens its extension.
    bool openFile(const std::string& path) override;
    // http(s) go to the default browser (a new tab, or the blank one), file URLs to openFile.
    bool openURL(const std::string& url) override;
    // Accepted when the folder exists and a file manager is installed.
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

  private:
    SimDesktop& desktop_;
};

}  // namespace orvex

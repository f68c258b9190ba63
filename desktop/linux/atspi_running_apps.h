#pragma once

#include <memory>

#include "desktop/linux/app_identity.h"
#include "desktop/linux/atspi_desktop.h"
#include "desktop/running_apps.h"

namespace orvex::linux_desktop {

// Running applications as the accessibility bus knows them: every process with an
// accessible application object. Bundle identifiers and names come from the shared
// identity rules; the accessibility name is asked for only when no desktop entry names
// the application, since it can be slow.
class AtspiRunningApplications : public RunningApplications {
  public:
    AtspiRunningApplications(std::shared_ptr<AtspiDesktop> desktop,
                             std::shared_ptr<const AppIdentityResolver> identities);

    RunningApplicationRef frontmostApplication() override;
    std::vector<RunningApplicationRef> runningApplications() override;
    std::vector<RunningApplicationRef> runningApplications(
        const std::string& bundleIdentifier) override;

  private:
    RunningApplicationRef make(const AtspiDesktop::Application& application);

    std::shared_ptr<AtspiDesktop> desktop_;
    std::shared_ptr<const AppIdentityResolver> identities_;
};

}  // namespace orvex::linux_desktop

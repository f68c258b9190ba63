#pragma once

#include <memory>

#include "desktop/accessibility.h"
#include "desktop/linux/atspi_desktop.h"

namespace orvex::linux_desktop {

// Accessibility over AT-SPI. A process is "trusted" when the accessibility bus answers and
// toolkit accessibility is switched on for the session; asking with `prompt` switches it
// on (org.a11y.Status IsEnabled), which is what granting amounts to here.
class AtspiAccessibility : public Accessibility {
  public:
    explicit AtspiAccessibility(std::shared_ptr<AtspiDesktop> desktop);

    bool isProcessTrusted(bool prompt) override;
    AXElementRef applicationElement(std::int32_t pid) override;
    // Answers "AXFocusedApplication" and "AXFocusedUIElement" (the focused element of the
    // application owning the active window).
    AXElementRef systemWideElement() override;

  private:
    std::shared_ptr<AtspiDesktop> desktop_;
};

}  // namespace orvex::linux_desktop

#pragma once

#include <memory>
#include <mutex>

#include "desktop/accessibility.h"
#include "desktop/linux/atspi_accessibility.h"
#include "desktop/linux/atspi_desktop.h"

namespace orvex::linux_desktop {

// AT-SPI accessibility for a long-lived process. The AT-SPI views keep caches and a bus
// connection that are not made for several threads (the tracker asks from the main thread
// while a run asks from its own), so every call, on the entry points and on every element
// they hand out, takes one lock. Each new look from an entry point starts from fresh trees;
// without an accessibility bus at start, each look tries to connect again.
// `element` behind `mutex`, as the entry points hand elements out.
AXElementRef serializedElement(AXElementRef element, std::shared_ptr<std::mutex> mutex);

class SerializedAccessibility : public Accessibility {
  public:
    explicit SerializedAccessibility(AtspiOptions options = {});

    bool isProcessTrusted(bool prompt) override;
    AXElementRef applicationElement(std::int32_t pid) override;
    AXElementRef systemWideElement() override;

  private:
    void refresh();  // with the lock held

    AtspiOptions options_;
    std::shared_ptr<std::mutex> mutex_ = std::make_shared<std::mutex>();
    std::shared_ptr<AtspiDesktop> desktop_;
    std::unique_ptr<AtspiAccessibility> accessibility_;
};

}  // namespace orvex::linux_desktop

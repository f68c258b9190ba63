#pragma once

#include <memory>

#include "desktop/accessibility.h"
#include "desktop/sim/sim_state.h"

namespace orvex {

class SimDesktop;

// A reference to one element of the simulated trees. It outlives nothing: once its node,
// its application or the desktop is gone, every query answers "invalid element".
class SimAXElement final : public AXElement {
  public:
    SimAXElement(std::weak_ptr<SimDesktop> desktop, SimAXTarget target);

    AXResult copyAttribute(const std::string& name) override;
    AXError isAttributeSettable(const std::string& name, bool& settable) override;
    AXError setAttribute(const std::string& name, const AXValue& value) override;
    std::int32_t pid() const override { return target_.pid; }
    bool isSame(const AXElement& other) const override;

  private:
    std::weak_ptr<SimDesktop> desktop_;
    SimAXTarget target_;
};

class SimAccessibility final : public Accessibility {
  public:
    explicit SimAccessibility(SimDesktop& desktop) : desktop_(desktop) {}

    // Asking with `prompt` journals the prompt; a "grantedOnPrompt" permission is granted
    // from then on, but this call still answers with the state before the prompt.
    bool isProcessTrusted(bool prompt) override;
    AXElementRef applicationElement(std::int32_t pid) override;
    AXElementRef systemWideElement() override;

  private:
    SimDesktop& desktop_;
};

}  // namespace orvex

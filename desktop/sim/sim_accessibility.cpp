#include "desktop/sim/sim_accessibility.h"

#include "desktop/sim/sim_desktop.h"

namespace orvex {

SimAXElement::SimAXElement(std::weak_ptr<SimDesktop> desktop, SimAXTarget target)
    : desktop_(std::move(desktop)), target_(target) {}

AXResult SimAXElement::copyAttribute(const std::string& name) {
    auto desktop = desktop_.lock();
    if (!desktop)
        return AXResult{AXError::invalidElement, std::monostate{}};
    std::lock_guard lock(desktop->mutex_);
    return desktop->state_->axRead(target_, name);
}

AXError SimAXElement::isAttributeSettable(const std::string& name, bool& settable) {
    settable = false;
    auto desktop = desktop_.lock();
    if (!desktop)
        return AXError::invalidElement;
    std::lock_guard lock(desktop->mutex_);
    return desktop->state_->axSettable(target_, name, settable);
}

AXError SimAXElement::setAttribute(const std::string& name, const AXValue& value) {
    auto desktop = desktop_.lock();
    if (!desktop)
        return AXError::invalidElement;
    std::lock_guard lock(desktop->mutex_);
    return desktop->state_->axWrite(target_, name, value);
}

bool SimAXElement::isSame(const AXElement& other) const {
    auto* sim = dynamic_cast<const SimAXElement*>(&other);
    return sim && sim->target_.kind == target_.kind && sim->target_.pid == target_.pid &&
           sim->target_.node == target_.node && !sim->desktop_.owner_before(desktop_) &&
           !desktop_.owner_before(sim->desktop_);
}

bool SimAccessibility::isProcessTrusted(bool prompt) {
    std::lock_guard lock(desktop_.mutex_);
    SimState& state = *desktop_.state_;
    bool trusted = state.granted(SimPermission::accessibility);
    if (prompt && !trusted)
        state.prompt(SimPermission::accessibility);
    return trusted;
}

AXElementRef SimAccessibility::applicationElement(std::int32_t pid) {
    return std::make_shared<SimAXElement>(desktop_.weak_from_this(),
                                          SimAXTarget{SimAXTarget::Kind::application, pid, 0});
}

AXElementRef SimAccessibility::systemWideElement() {
    return std::make_shared<SimAXElement>(desktop_.weak_from_this(),
                                          SimAXTarget{SimAXTarget::Kind::systemWide, 0, 0});
}

}  // namespace orvex

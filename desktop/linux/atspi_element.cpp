#include "desktop/linux/atspi_element.h"

#include <atspi/atspi-constants.h>

#include <chrono>
#include <thread>

#include "desktop/linux/atspi_role_mapping.h"

namespace orvex::linux_desktop {

namespace {

constexpr auto focusConfirmLimit = std::chrono::milliseconds(1000);
constexpr auto focusConfirmInterval = std::chrono::milliseconds(20);
constexpr int focusWalkLimit = 8000;

AXResult error(AXError code) {
    return AXResult{code, {}};
}

}  // namespace

AtspiElement::AtspiElement(std::shared_ptr<AtspiApplicationTree> tree, std::string path)
    : tree_(std::move(tree)), path_(std::move(path)) {}

AXElementRef AtspiElement::element(const std::string& path) const {
    return std::make_shared<AtspiElement>(tree_, path);
}

bool AtspiElement::isSame(const AXElement& other) const {
    auto* atspi = dynamic_cast<const AtspiElement*>(&other);
    return atspi && atspi->path_ == path_ && atspi->busName() == busName();
}

AXResult AtspiElement::role() {
    if (isApplication())
        return {AXError::success, std::string("AXApplication")};
    auto role = tree_->role(path_);
    if (!role.ok())
        return error(role.error);
    auto states = tree_->states(path_);
    return {AXError::success, axRoleFor(role.value, states.ok() ? states.value : 0)};
}

AXResult AtspiElement::windows(bool onlyActive, bool skipMinimized) {
    auto children = tree_->children(path_);
    if (!children.ok())
        return error(children.error);
    auto states = tree_->freshStates(children.value);
    std::vector<AXElementRef> showing;
    for (std::size_t i = 0; i < states.size(); ++i) {
        if (!states[i].ok() || !hasState(states[i].value, ATSPI_STATE_SHOWING))
            continue;
        if (onlyActive && !hasState(states[i].value, ATSPI_STATE_ACTIVE))
            continue;
        if (skipMinimized && hasState(states[i].value, ATSPI_STATE_ICONIFIED))
            continue;
        showing.push_back(element(children.value[i]));
    }
    if (onlyActive || skipMinimized) {
        if (showing.empty())
            return error(AXError::noValue);
        return {AXError::success, showing.front()};
    }
    return {AXError::success, showing};
}

AXResult AtspiElement::frame(bool position) {
    std::optional<ScreenFrame> frame;
    if (!position && pendingFrame_) {
        frame = pendingFrame_;
        pendingFrame_.reset();
    } else {
        auto answer = tree_->extents(path_);
        if (!answer.ok())
            return error(answer.error);
        frame = answer.value;
        pendingFrame_ = position ? frame : std::nullopt;
    }
    if (position)
        return {AXError::success, AXPoint{frame->x, frame->y}};
    return {AXError::success, AXSize{frame->width, frame->height}};
}

AXResult AtspiElement::stateFlag(int state) {
    auto states = tree_->freshStates(path_);
    if (!states.ok())
        return error(states.error);
    return {AXError::success, hasState(states.value, state)};
}

AXResult AtspiElement::nonEmpty(Answer<std::string> answer) {
    // AT-SPI has no "absent" text: an empty one is treated as no value.
    if (!answer.ok())
        return error(answer.error);
    if (answer.value.empty())
        return error(AXError::noValue);
    return {AXError::success, std::move(answer.value)};
}

AXResult AtspiElement::copyAttribute(const std::string& name) {
    if (name == "AXRole")
        return role();
    if (name == "AXChildren") {
        auto children = tree_->children(path_);
        if (!children.ok())
            return error(children.error);
        std::vector<AXElementRef> elements;
        elements.reserve(children.value.size());
        for (auto& path : children.value)
            elements.push_back(element(path));
        return {AXError::success, std::move(elements)};
    }
    if (name == "AXPosition")
        return frame(true);
    if (name == "AXSize")
        return frame(false);
    if (name == "AXTitle")
        return nonEmpty(tree_->name(path_));
    if (name == "AXDescription")
        return nonEmpty(tree_->description(path_));
    if (name == "AXPlaceholderValue") {
        auto attributes = tree_->attributes(path_);
        if (!attributes.ok())
            return error(attributes.error);
        auto found = attributes.value.find("placeholder-text");
        if (found == attributes.value.end())
            return error(AXError::noValue);
        return {AXError::success, found->second};
    }
    if (name == "AXFocused")
        return stateFlag(ATSPI_STATE_FOCUSED);
    if (name == "AXMinimized")
        return stateFlag(ATSPI_STATE_ICONIFIED);
    if (name == "AXValue") {
        auto answer = tree_->text(path_);
        if (!answer.ok())
            return error(answer.error);
        return {AXError::success, std::move(answer.value)};
    }
    if (name == "AXFocusedUIElement") {
        auto focused = focusedDescendant();
        if (!focused)
            return error(AXError::noValue);
        return {AXError::success, focused};
    }
    if (isApplication()) {
        if (name == "AXWindows")
            return windows(false, false);
        if (name == "AXFocusedWindow")
            return windows(true, false);
        if (name == "AXMainWindow")
            return windows(false, true);
    }
    return error(AXError::attributeUnsupported);
}

AXError AtspiElement::isAttributeSettable(const std::string& name, bool& settable) {
    settable = false;
    int state = name == "AXValue"     ? ATSPI_STATE_EDITABLE
                : name == "AXFocused" ? ATSPI_STATE_FOCUSABLE
                                      : -1;
    if (state < 0)
        return AXError::success;
    auto states = tree_->states(path_);
    if (!states.ok())
        return states.error;
    settable = hasState(states.value, state);
    return AXError::success;
}

AXError AtspiElement::setAttribute(const std::string& name, const AXValue& value) {
    if (name == "AXFocused") {
        auto* wanted = std::get_if<bool>(&value);
        if (!wanted)
            return AXError::illegalArgument;
        if (!*wanted)
            return AXError::attributeUnsupported;  // focus moves by taking it
        return focus();
    }
    if (name == "AXValue") {
        auto* text = std::get_if<std::string>(&value);
        if (!text)
            return AXError::illegalArgument;
        auto done = tree_->setText(path_, *text);
        if (!done.ok())
            return done.error;
        return done.value ? AXError::success : AXError::failure;
    }
    return AXError::attributeUnsupported;
}

AXError AtspiElement::focus() {
    auto granted = tree_->grabFocus(path_);
    if (!granted.ok())
        return granted.error;
    if (!granted.value)
        return AXError::failure;
    // The toolkit moves focus on its own main loop: wait until it says so.
    auto deadline = std::chrono::steady_clock::now() + focusConfirmLimit;
    while (true) {
        auto states = tree_->freshStates(path_);
        if (!states.ok())
            return states.error;
        if (hasState(states.value, ATSPI_STATE_FOCUSED))
            return AXError::success;
        if (std::chrono::steady_clock::now() >= deadline)
            return AXError::cannotComplete;
        std::this_thread::sleep_for(focusConfirmInterval);
    }
}

std::optional<std::string> AtspiElement::walkForFocus(const std::string& from) {
    std::optional<std::string> focused;
    std::vector<std::string> pending{from};
    int steps = 0;
    while (!pending.empty() && steps++ < focusWalkLimit) {
        std::string path = pending.back();
        pending.pop_back();
        auto children = tree_->children(path);
        if (!children.ok())
            continue;
        auto states = tree_->freshStates(children.value);
        for (std::size_t i = 0; i < states.size(); ++i) {
            if (!states[i].ok())
                continue;
            if (hasState(states[i].value, ATSPI_STATE_FOCUSED)) {
                auto role = tree_->role(children.value[i]);
                if (role.ok() && isTextInput(role.value, states[i].value)) {
                    return children.value[i];
                }
                if (!focused)
                    focused = children.value[i];
            }
        }
        for (auto it = children.value.rbegin(); it != children.value.rend(); ++it) {
            pending.push_back(*it);
        }
    }
    return focused;
}

AXElementRef AtspiElement::focusedDescendant() {
    std::vector<std::string> scopes;
    if (isApplication()) {
        // The active window first, then the other showing ones.
        auto children = tree_->children(path_);
        if (!children.ok())
            return nullptr;
        auto states = tree_->freshStates(children.value);
        for (int pass = 0; pass < 2; ++pass) {
            for (std::size_t i = 0; i < states.size(); ++i) {
                if (!states[i].ok() || !hasState(states[i].value, ATSPI_STATE_SHOWING))
                    continue;
                bool active = hasState(states[i].value, ATSPI_STATE_ACTIVE);
                if ((pass == 0) == active)
                    scopes.push_back(children.value[i]);
            }
        }
    } else {
        scopes.push_back(path_);
    }
    for (const auto& scope : scopes) {
        auto matches = tree_->focusedDescendants(scope);
        if (matches.ok()) {
            for (const auto& path : matches.value) {
                auto role = tree_->role(path);
                auto states = tree_->states(path);
                if (role.ok() && states.ok() && isTextInput(role.value, states.value)) {
                    return element(path);
                }
            }
            if (!matches.value.empty())
                return element(matches.value.front());
            continue;
        }
        if (tree_->bus().isUnresponsive(tree_->busName()))
            return nullptr;
        if (auto path = walkForFocus(scope))
            return element(*path);
    }
    return nullptr;
}

}  // namespace orvex::linux_desktop

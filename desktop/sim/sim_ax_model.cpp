#include <set>

#include "desktop/sim/sim_state.h"
#include "desktop/sim/sim_text.h"

namespace orvex {
namespace {

AXResult fail(AXError error) {
    return AXResult{error, std::monostate{}};
}

AXResult value(AXValue v) {
    return AXResult{AXError::success, std::move(v)};
}

AXResult optionalText(const std::optional<std::string>& text) {
    return text ? value(*text) : fail(AXError::noValue);
}

// Attributes elements know, settable or not; anything else is unsupported.
const std::set<std::string>& knownNodeAttributes() {
    static const std::set<std::string> names = {
        "AXRole",     "AXTitle",        "AXDescription",       "AXPlaceholderValue",
        "AXValue",    "AXSelectedText", "AXSelectedTextRange", "AXNumberOfCharacters",
        "AXPosition", "AXSize",         "AXChildren",          "AXParent",
        "AXWindow",   "AXFocused",      "AXEnabled",           "AXMinimized",
        "AXMain"};
    return names;
}

}  // namespace

AXError SimState::axCheck(const SimAXTarget& target) const {
    if (!granted(SimPermission::accessibility))
        return AXError::apiDisabled;
    if (target.kind == SimAXTarget::Kind::systemWide)
        return AXError::success;
    const SimApp* app = appByPid(target.pid);
    if (!app)
        return AXError::invalidElement;
    if (app->definition.accessibilityBroken)
        return AXError::cannotComplete;
    if (target.kind == SimAXTarget::Kind::node) {
        const SimNode* n = node(target.node);
        const SimWindow* w = n ? window(n->window) : nullptr;
        if (!n || !w || w->pid != target.pid)
            return AXError::invalidElement;
    }
    return AXError::success;
}

AXResult SimState::axRead(const SimAXTarget& target, const std::string& name) {
    if (AXError error = axCheck(target); error != AXError::success)
        return fail(error);
    switch (target.kind) {
        case SimAXTarget::Kind::systemWide: {
            if (name == "AXRole")
                return value(std::string("AXSystemWide"));
            if (name != "AXFocusedApplication" && name != "AXFocusedUIElement") {
                return fail(AXError::attributeUnsupported);
            }
            const SimApp* front = appByPid(frontmostPid);
            if (!front)
                return fail(AXError::noValue);
            if (front->definition.accessibilityBroken)
                return fail(AXError::cannotComplete);
            if (name == "AXFocusedApplication") {
                return value(
                    makeElement(SimAXTarget{SimAXTarget::Kind::application, front->pid, 0}));
            }
            return axReadApplication(*front, name);
        }
        case SimAXTarget::Kind::application:
            return axReadApplication(*appByPid(target.pid), name);
        case SimAXTarget::Kind::node:
            return axReadNode(*node(target.node), name);
    }
    return fail(AXError::failure);
}

AXResult SimState::axReadApplication(const SimApp& app, const std::string& name) {
    auto element = [&](SimNodeId id) {
        return makeElement(SimAXTarget{SimAXTarget::Kind::node, app.pid, id});
    };
    if (name == "AXRole")
        return value(std::string("AXApplication"));
    if (name == "AXTitle")
        return value(app.definition.name);
    if (name == "AXWindows" || name == "AXChildren") {
        std::vector<AXElementRef> list;
        for (SimWindowId id : app.windows)
            list.push_back(element(window(id)->node));
        return value(list);
    }
    const SimWindow* front = frontWindow(app);
    if (name == "AXFocusedWindow" || name == "AXMainWindow") {
        return front ? value(element(front->node)) : fail(AXError::noValue);
    }
    if (name == "AXFocusedUIElement") {
        SimNodeId focused = front ? focusedNode(*front) : 0;
        return focused ? value(element(focused)) : fail(AXError::noValue);
    }
    if (name == "AXFrontmost")
        return value(app.pid == frontmostPid);
    if (name == "AXHidden")
        return value(false);
    return fail(AXError::attributeUnsupported);
}

AXResult SimState::axReadNode(const SimNode& n, const std::string& name) {
    const SimWindow& w = *window(n.window);
    const bool isWindow = w.node == n.id;
    auto element = [&](SimNodeId id) {
        return makeElement(SimAXTarget{SimAXTarget::Kind::node, w.pid, id});
    };
    if (name == "AXRole")
        return value(n.role);
    if (name == "AXTitle")
        return isWindow ? value(w.title) : optionalText(n.title);
    if (name == "AXDescription")
        return optionalText(n.description);
    if (name == "AXPlaceholderValue")
        return optionalText(n.placeholder);
    if (name == "AXValue")
        return optionalText(n.value);
    if (name == "AXSelectedText") {
        if (!n.value)
            return fail(AXError::noValue);
        return value(simtext::substring(*n.value, n.selection.location, n.selection.length));
    }
    if (name == "AXSelectedTextRange") {
        if (!n.value)
            return fail(AXError::noValue);
        return value(simtext::clamp(n.selection, simtext::length(*n.value)));
    }
    if (name == "AXNumberOfCharacters") {
        if (!n.value)
            return fail(AXError::noValue);
        return value(static_cast<double>(simtext::length(*n.value)));
    }
    if (name == "AXPosition" || name == "AXSize") {
        std::optional<SimFrame> frame = isWindow ? std::optional<SimFrame>(w.frame) : n.frame;
        if (!frame)
            return fail(AXError::noValue);
        return name == "AXPosition" ? value(frame->position) : value(frame->size);
    }
    if (name == "AXChildren") {
        std::vector<AXElementRef> list;
        for (SimNodeId child : n.children)
            list.push_back(element(child));
        return value(list);
    }
    if (name == "AXParent") {
        if (n.parent)
            return value(element(n.parent));
        return value(makeElement(SimAXTarget{SimAXTarget::Kind::application, w.pid, 0}));
    }
    if (name == "AXWindow")
        return value(element(w.node));
    if (name == "AXEnabled")
        return value(true);
    if (name == "AXFocused") {
        if (isWindow) {
            const SimApp* app = appByPid(w.pid);
            return value(app && frontWindow(*app) == &w && frontmostPid == w.pid);
        }
        return value(isFocused(n));
    }
    if (name == "AXMinimized" || name == "AXMain") {
        if (!isWindow)
            return fail(AXError::attributeUnsupported);
        if (name == "AXMinimized")
            return value(w.minimized);
        const SimApp* app = appByPid(w.pid);
        return value(app && frontWindow(*app) == &w);
    }
    return fail(AXError::attributeUnsupported);
}

AXError SimState::axSettable(const SimAXTarget& target, const std::string& name, bool& settable) {
    settable = false;
    if (AXError error = axCheck(target); error != AXError::success)
        return error;
    if (target.kind != SimAXTarget::Kind::node) {
        if (target.kind == SimAXTarget::Kind::application && name == "AXFrontmost") {
            settable = true;
        }
        return AXError::success;
    }
    if (!knownNodeAttributes().count(name))
        return AXError::attributeUnsupported;
    const SimNode& n = *node(target.node);
    const bool isWindow = window(n.window)->node == n.id;
    if (name == "AXValue")
        settable = n.settable;
    if (name == "AXFocused")
        settable = n.focusable && !isWindow;
    if (name == "AXSelectedTextRange")
        settable = n.value.has_value() && n.focusable;
    if (name == "AXMinimized")
        settable = isWindow;
    return AXError::success;
}

AXError SimState::axWrite(const SimAXTarget& target, const std::string& name, const AXValue& v) {
    if (AXError error = axCheck(target); error != AXError::success)
        return error;
    if (target.kind == SimAXTarget::Kind::application && name == "AXFrontmost") {
        const bool* flag = std::get_if<bool>(&v);
        if (!flag)
            return AXError::illegalArgument;
        if (*flag)
            activate(target.pid, "accessibility");
        return AXError::success;
    }
    if (target.kind != SimAXTarget::Kind::node)
        return AXError::attributeUnsupported;
    SimNode& n = *node(target.node);
    SimWindow& w = *window(n.window);
    const bool isWindow = w.node == n.id;
    bool settable = false;
    axSettable(target, name, settable);
    if (!settable)
        return AXError::attributeUnsupported;

    if (name == "AXFocused") {
        const bool* flag = std::get_if<bool>(&v);
        if (!flag)
            return AXError::illegalArgument;
        if (*flag) {
            setFocusedNode(w, n.id);
            record("focus", {{"app", w.appKey}, {"element", describe(n)}, {"role", n.role}});
            takeFocusBack(w, n);
        } else if (isFocused(n)) {
            setFocusedNode(w, 0);
        }
        return AXError::success;
    }
    if (name == "AXValue") {
        const std::string* text = std::get_if<std::string>(&v);
        if (!text)
            return AXError::illegalArgument;
        n.value = *text;
        n.selection = AXRange{simtext::length(*text), 0};
        record("valueSet", {{"app", w.appKey}, {"element", describe(n)}, {"value", *text}});
        return AXError::success;
    }
    if (name == "AXSelectedTextRange") {
        const AXRange* range = std::get_if<AXRange>(&v);
        if (!range)
            return AXError::illegalArgument;
        n.selection = simtext::clamp(*range, simtext::length(*n.value));
        record("selectionSet", {{"app", w.appKey},
                                {"element", describe(n)},
                                {"location", n.selection.location},
                                {"length", n.selection.length}});
        return AXError::success;
    }
    if (name == "AXMinimized" && isWindow) {
        const bool* flag = std::get_if<bool>(&v);
        if (!flag)
            return AXError::illegalArgument;
        setMinimized(w, *flag, "accessibility");
        return AXError::success;
    }
    return AXError::attributeUnsupported;
}

}  // namespace orvex

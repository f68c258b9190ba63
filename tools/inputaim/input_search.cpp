#include "tools/inputaim/input_search.h"

#include <utility>

namespace orvex::inputaim {

const std::set<std::string>& skipRoles() {
    static const std::set<std::string> roles{"AXOutline", "AXRow", "AXCell", "AXList", "AXTable"};
    return roles;
}

std::optional<AXValue> attr(AXElement& element, const std::string& name) {
    AXResult result = element.copyAttribute(name);
    if (!result.ok() || std::holds_alternative<std::monostate>(result.value))
        return std::nullopt;
    if (auto* element = std::get_if<AXElementRef>(&result.value); element && !*element) {
        return std::nullopt;
    }
    return std::move(result.value);
}

AXElementRef frontWindow(AXElement& app) {
    for (const char* name : {"AXFocusedWindow", "AXMainWindow"}) {
        if (auto value = attr(app, name)) {
            if (auto* window = std::get_if<AXElementRef>(&*value))
                return *window;
        }
    }
    if (auto value = attr(app, "AXWindows")) {
        if (auto* windows = std::get_if<std::vector<AXElementRef>>(&*value)) {
            if (!windows->empty())
                return windows->front();
        }
    }
    return nullptr;
}

std::optional<Rect> rect(AXElement& element) {
    auto position = attr(element, "AXPosition");
    if (!position)
        return std::nullopt;
    auto size = attr(element, "AXSize");
    if (!size)
        return std::nullopt;
    auto* point = std::get_if<AXPoint>(&*position);
    auto* extent = std::get_if<AXSize>(&*size);
    if (!point || !extent)
        return std::nullopt;
    return Rect{point->x, point->y, extent->width, extent->height};
}

std::string label(AXElement& element) {
    std::string joined;
    bool first = true;
    for (const char* name : {"AXDescription", "AXPlaceholderValue", "AXTitle"}) {
        // An empty string is a value here: the label keeps its separator.
        AXResult result = element.copyAttribute(name);
        const std::string* text = result.ok() ? result.string() : nullptr;
        if (!text)
            continue;
        if (!first)
            joined += ' ';
        joined += *text;
        first = false;
    }
    return joined;
}

bool isVisible(const Rect& frame, const Rect& window) {
    return frame.width >= 40 && frame.height >= 10 && frame.minY() >= window.minY() - 2 &&
           frame.maxY() <= window.maxY() + 2 && frame.maxX() > window.minX() &&
           frame.minX() < window.maxX();
}

std::vector<AXElementRef> Collector::step(AXElement& element) {
    std::string role;
    if (auto value = attr(element, "AXRole")) {
        if (auto* text = std::get_if<std::string>(&*value))
            role = *text;
    }
    if (role == inputRole) {
        if (auto frame = rect(element)) {
            bool settable = false;
            if (element.isAttributeSettable("AXValue", settable) != AXError::success) {
                settable = false;
            }
            candidates_.push_back({nullptr, *frame, label(element), settable});
        }
    }
    if (skipRoles().count(role))
        return {};
    auto value = attr(element, "AXChildren");
    auto* children = value ? std::get_if<std::vector<AXElementRef>>(&*value) : nullptr;
    if (role == "AXWebArea" && (!children || children->empty()))
        ++emptyWebAreas_;
    if (!children)
        return {};
    return std::move(*children);
}

void Collector::collect(const AXElementRef& root) {
    // An explicit stack keeps deep trees off the call stack; the order and the counting
    // are those of the plain recursive pre-order walk.
    struct Frame {
        std::vector<AXElementRef> children;
        std::size_t next = 0;
    };
    std::vector<Frame> stack;
    auto enter = [&](const AXElementRef& element) {
        ++visited_;
        if (visited_ > maxWalkSteps || !element)
            return;
        std::size_t before = candidates_.size();
        std::vector<AXElementRef> children = step(*element);
        if (candidates_.size() > before)
            candidates_.back().element = element;
        if (!children.empty())
            stack.push_back({std::move(children), 0});
    };
    enter(root);
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next == top.children.size()) {
            stack.pop_back();
            continue;
        }
        AXElementRef child = top.children[top.next++];
        enter(child);  // may grow the stack; `top` is not used after this
    }
}

std::vector<Candidate> preferSettable(std::vector<Candidate> visible) {
    std::vector<Candidate> settable;
    for (const Candidate& candidate : visible) {
        if (candidate.settable)
            settable.push_back(candidate);
    }
    return settable.empty() ? visible : settable;
}

std::vector<Candidate> narrowByHint(std::vector<Candidate> pool, const std::string& hint) {
    if (hint.empty())
        return pool;
    std::vector<Candidate> matching;
    for (const Candidate& candidate : pool) {
        if (candidate.name.find(hint) != std::string::npos)
            matching.push_back(candidate);
    }
    return matching.empty() ? pool : matching;
}

std::optional<Candidate> choose(const std::vector<Candidate>& pool) {
    if (pool.empty())
        return std::nullopt;
    const Candidate* best = &pool.front();
    for (const Candidate& candidate : pool) {
        double y = candidate.frame.maxY();
        double bestY = best->frame.maxY();
        if (y > bestY || (y == bestY && candidate.frame.width > best->frame.width)) {
            best = &candidate;
        }
    }
    return *best;
}

SearchResult searchWindow(const AXElementRef& window, const Rect& windowFrame,
                          const std::string& hint) {
    SearchResult result;
    result.windowFrame = windowFrame;
    Collector collector;
    collector.collect(window);
    result.candidates = collector.candidates();
    result.visited = collector.visited();
    result.emptyWebAreas = collector.emptyWebAreas();
    std::vector<Candidate> visible;
    for (const Candidate& candidate : result.candidates) {
        if (isVisible(candidate.frame, windowFrame))
            visible.push_back(candidate);
    }
    result.visible = preferSettable(std::move(visible));
    result.chosen = choose(narrowByHint(result.visible, hint));
    return result;
}

}  // namespace orvex::inputaim

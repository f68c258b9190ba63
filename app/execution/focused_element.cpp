#include "app/execution/focused_element.h"

#include <string>

namespace orvex {

namespace {

AXElementRef focusedElement(Accessibility& accessibility, std::int32_t pid) {
    AXElementRef application = accessibility.applicationElement(pid);
    if (!application) {
        return nullptr;
    }
    AXResult focused = application->copyAttribute("AXFocusedUIElement");
    return focused.ok() ? focused.element() : nullptr;
}

std::optional<std::string> roleOf(AXElement& element) {
    AXResult role = element.copyAttribute("AXRole");
    const std::string* roleName = role.ok() ? role.string() : nullptr;
    return roleName ? std::optional<std::string>(*roleName) : std::nullopt;
}

}  // namespace

std::optional<std::string> focusedElementRole(Accessibility& accessibility, std::int32_t pid) {
    AXElementRef element = focusedElement(accessibility, pid);
    return element ? roleOf(*element) : std::nullopt;
}

FocusAnswer focusedElementIsNotTextInput(Accessibility& accessibility, std::int32_t pid) {
    AXElementRef element = focusedElement(accessibility, pid);
    std::optional<std::string> roleName = element ? roleOf(*element) : std::nullopt;
    if (!roleName) {
        return FocusAnswer::undetermined;
    }
    if (*roleName == "AXTextField" || *roleName == "AXTextArea" || *roleName == "AXComboBox") {
        return FocusAnswer::no;
    }
    bool settable = false;
    if (element->isAttributeSettable("AXValue", settable) == AXError::success && settable) {
        return FocusAnswer::no;
    }
    return FocusAnswer::yes;
}

}  // namespace orvex

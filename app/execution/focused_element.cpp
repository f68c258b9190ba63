#include "app/execution/focused_element.h"

#include <string>

namespace orvex {

FocusAnswer focusedElementIsNotTextInput(Accessibility& accessibility, std::int32_t pid) {
    AXElementRef application = accessibility.applicationElement(pid);
    if (!application) {
        return FocusAnswer::undetermined;
    }
    AXResult focused = application->copyAttribute("AXFocusedUIElement");
    AXElementRef element = focused.ok() ? focused.element() : nullptr;
    if (!element) {
        return FocusAnswer::undetermined;
    }
    AXResult role = element->copyAttribute("AXRole");
    const std::string* roleName = role.ok() ? role.string() : nullptr;
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

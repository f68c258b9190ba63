#include "desktop/linux/atspi_role_mapping.h"

#include <atspi/atspi-constants.h>

namespace orvex::linux_desktop {

bool isTextInput(std::uint32_t role, std::uint64_t states) {
    switch (role) {
        case ATSPI_ROLE_TEXT:
        case ATSPI_ROLE_ENTRY:
        case ATSPI_ROLE_PASSWORD_TEXT:
            return true;
        default:
            return hasState(states, ATSPI_STATE_EDITABLE) &&
                   (hasState(states, ATSPI_STATE_MULTI_LINE) ||
                    hasState(states, ATSPI_STATE_SINGLE_LINE));
    }
}

std::string axRoleFor(std::uint32_t role, std::uint64_t states) {
    if (isTextInput(role, states)) {
        return hasState(states, ATSPI_STATE_MULTI_LINE) ? "AXTextArea" : "AXTextField";
    }
    switch (role) {
        case ATSPI_ROLE_APPLICATION:
            return "AXApplication";
        case ATSPI_ROLE_FRAME:
        case ATSPI_ROLE_WINDOW:
        case ATSPI_ROLE_DIALOG:
        case ATSPI_ROLE_FILE_CHOOSER:
        case ATSPI_ROLE_ALERT:
            return "AXWindow";
        case ATSPI_ROLE_COMBO_BOX:
            return "AXComboBox";
        case ATSPI_ROLE_LIST:
        case ATSPI_ROLE_LIST_BOX:
            return "AXList";
        case ATSPI_ROLE_TABLE:
            return "AXTable";
        case ATSPI_ROLE_TREE:
        case ATSPI_ROLE_TREE_TABLE:
            return "AXOutline";
        case ATSPI_ROLE_LIST_ITEM:
        case ATSPI_ROLE_TABLE_ROW:
        case ATSPI_ROLE_TREE_ITEM:
            return "AXRow";
        case ATSPI_ROLE_TABLE_CELL:
            return "AXCell";
        case ATSPI_ROLE_DOCUMENT_WEB:
            return "AXWebArea";
        case ATSPI_ROLE_PUSH_BUTTON:
        case ATSPI_ROLE_TOGGLE_BUTTON:
            return "AXButton";
        case ATSPI_ROLE_CHECK_BOX:
            return "AXCheckBox";
        case ATSPI_ROLE_RADIO_BUTTON:
            return "AXRadioButton";
        case ATSPI_ROLE_LABEL:
        case ATSPI_ROLE_STATIC:
            return "AXStaticText";
        case ATSPI_ROLE_LINK:
            return "AXLink";
        case ATSPI_ROLE_IMAGE:
            return "AXImage";
        case ATSPI_ROLE_MENU_BAR:
            return "AXMenuBar";
        case ATSPI_ROLE_MENU:
        case ATSPI_ROLE_POPUP_MENU:
            return "AXMenu";
        case ATSPI_ROLE_MENU_ITEM:
        case ATSPI_ROLE_CHECK_MENU_ITEM:
        case ATSPI_ROLE_RADIO_MENU_ITEM:
            return "AXMenuItem";
        case ATSPI_ROLE_SCROLL_PANE:
            return "AXScrollArea";
        case ATSPI_ROLE_SCROLL_BAR:
            return "AXScrollBar";
        case ATSPI_ROLE_TOOL_BAR:
            return "AXToolbar";
        case ATSPI_ROLE_PAGE_TAB_LIST:
            return "AXTabGroup";
        case ATSPI_ROLE_SLIDER:
            return "AXSlider";
        case ATSPI_ROLE_HEADING:
            return "AXHeading";
        default:
            return "AXGroup";
    }
}

}  // namespace orvex::linux_desktop

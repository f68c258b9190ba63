#include "desktop/linux/atspi_role_mapping.h"

#include <atspi/atspi-constants.h>
#include <gtest/gtest.h>

#include <initializer_list>

namespace orvex::linux_desktop {
namespace {

std::uint64_t states(std::initializer_list<int> bits) {
    std::uint64_t set = 0;
    for (int bit : bits)
        set |= std::uint64_t{1} << bit;
    return set;
}

TEST(AtspiRoleMapping, TextInputsByRoleOrByEditableLineStates) {
    // GTK text view, Qt plain-text edit: "text" + MULTI_LINE, read-only ones too.
    EXPECT_EQ(axRoleFor(ATSPI_ROLE_TEXT, states({ATSPI_STATE_MULTI_LINE, ATSPI_STATE_EDITABLE})),
              "AXTextArea");
    EXPECT_EQ(axRoleFor(ATSPI_ROLE_TEXT, states({ATSPI_STATE_MULTI_LINE})), "AXTextArea");
    // Chromium textarea: "entry" + MULTI_LINE.
    EXPECT_EQ(axRoleFor(ATSPI_ROLE_ENTRY, states({ATSPI_STATE_MULTI_LINE})), "AXTextArea");
    // Contenteditable chat box: "section" + MULTI_LINE + EDITABLE.
    EXPECT_EQ(axRoleFor(ATSPI_ROLE_SECTION, states({ATSPI_STATE_MULTI_LINE, ATSPI_STATE_EDITABLE})),
              "AXTextArea");
    EXPECT_EQ(axRoleFor(ATSPI_ROLE_SECTION, states({ATSPI_STATE_MULTI_LINE})), "AXGroup");
    EXPECT_EQ(
        axRoleFor(ATSPI_ROLE_SECTION, states({ATSPI_STATE_SINGLE_LINE, ATSPI_STATE_EDITABLE})),
        "AXTextField");
    // Single-line fields, and Qt's line edit that reports neither line state.
    EXPECT_EQ(axRoleFor(ATSPI_ROLE_ENTRY, states({ATSPI_STATE_SINGLE_LINE})), "AXTextField");
    EXPECT_EQ(axRoleFor(ATSPI_ROLE_TEXT, states({ATSPI_STATE_EDITABLE})), "AXTextField");
    EXPECT_EQ(axRoleFor(ATSPI_ROLE_PASSWORD_TEXT, 0), "AXTextField");
    EXPECT_FALSE(isTextInput(ATSPI_ROLE_PARAGRAPH, states({ATSPI_STATE_EDITABLE})));
}

TEST(AtspiRoleMapping, ListLikeContainersGetTheRolesTheSearchSkips) {
    EXPECT_EQ(axRoleFor(ATSPI_ROLE_LIST, 0), "AXList");
    EXPECT_EQ(axRoleFor(ATSPI_ROLE_LIST_BOX, 0), "AXList");
    EXPECT_EQ(axRoleFor(ATSPI_ROLE_TABLE, 0), "AXTable");
    EXPECT_EQ(axRoleFor(ATSPI_ROLE_TREE, 0), "AXOutline");
    EXPECT_EQ(axRoleFor(ATSPI_ROLE_TREE_TABLE, 0), "AXOutline");
    EXPECT_EQ(axRoleFor(ATSPI_ROLE_LIST_ITEM, 0), "AXRow");
    EXPECT_EQ(axRoleFor(ATSPI_ROLE_TABLE_ROW, 0), "AXRow");
    EXPECT_EQ(axRoleFor(ATSPI_ROLE_TABLE_CELL, 0), "AXCell");
    EXPECT_EQ(axRoleFor(ATSPI_ROLE_COMBO_BOX, states({ATSPI_STATE_EDITABLE})), "AXComboBox");
    EXPECT_EQ(axRoleFor(ATSPI_ROLE_DOCUMENT_WEB, 0), "AXWebArea");
}

TEST(AtspiRoleMapping, StateBitsAboveThirtyTwo) {
    std::uint64_t high = std::uint64_t{1} << 40;
    EXPECT_TRUE(hasState(high, 40));
    EXPECT_FALSE(hasState(high, 8));
    EXPECT_FALSE(hasState(~std::uint64_t{0}, 64));
    EXPECT_FALSE(hasState(~std::uint64_t{0}, -1));
}

}  // namespace
}  // namespace orvex::linux_desktop

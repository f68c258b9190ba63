#include "desktop/linux/x11/application_key_rules.h"
#include <gtest/gtest.h>  // before the X11 headers, whose macros clash with it

#include <X11/keysym.h>

namespace orvex::linux_desktop {
namespace {

KeyChord control(std::uint32_t keysym) {
    KeyChord chord;
    chord.keysym = keysym;
    chord.control = true;
    return chord;
}

TEST(ApplicationKeyRules, TerminalsPasteWithShiftInsertAndNeverGetControlC) {
    const ApplicationKeyRules* xterm = keyRulesFor(WindowClass{"xterm", "XTerm"}, "/usr/bin/xterm");
    ASSERT_NE(xterm, nullptr);
    EXPECT_TRUE(xterm->terminal);
    auto paste = rewriteChord(xterm, control(XK_v));
    ASSERT_TRUE(paste);
    EXPECT_EQ(paste->keysym, static_cast<std::uint32_t>(XK_Insert));
    EXPECT_TRUE(paste->shift);
    EXPECT_FALSE(paste->control);
    // Control+C would interrupt the program running in the terminal.
    EXPECT_FALSE(rewriteChord(xterm, control(XK_c)));
    EXPECT_FALSE(rewriteChord(xterm, control(XK_x)));

    const ApplicationKeyRules* vte = keyRulesFor(WindowClass{"lxterminal", "Lxterminal"}, "");
    ASSERT_NE(vte, nullptr);
    auto copy = rewriteChord(vte, control(XK_c));
    ASSERT_TRUE(copy);
    EXPECT_TRUE(copy->control && copy->shift);
    EXPECT_EQ(copy->keysym, static_cast<std::uint32_t>(XK_c));
}

TEST(ApplicationKeyRules, OtherChordsAndOtherApplicationsPassUnchanged) {
    const ApplicationKeyRules* xterm = keyRulesFor(std::nullopt, "/usr/bin/uxterm");
    ASSERT_NE(xterm, nullptr);
    KeyChord ret;
    ret.keysym = XK_Return;
    EXPECT_EQ(rewriteChord(xterm, ret), ret);
    // Control+Shift+V is not the paste chord the scripts send, so it is left alone.
    KeyChord shifted = control(XK_v);
    shifted.shift = true;
    EXPECT_EQ(rewriteChord(xterm, shifted), shifted);

    EXPECT_EQ(keyRulesFor(WindowClass{"gedit", "Gedit"}, "/usr/bin/gedit"), nullptr);
    EXPECT_EQ(rewriteChord(nullptr, control(XK_v)), control(XK_v));
}

TEST(ApplicationKeyRules, ClassNamesMatchWithoutCaseAndTheSessionTerminalCounts) {
    EXPECT_NE(keyRulesFor(WindowClass{"KONSOLE", "Konsole"}, ""), nullptr);
    EXPECT_EQ(keyRulesFor(std::nullopt, "/opt/foo/myterm"), nullptr);
    const ApplicationKeyRules* other =
        keyRulesFor(std::nullopt, "/opt/foo/myterm", "/opt/foo/myterm");
    ASSERT_NE(other, nullptr);
    EXPECT_TRUE(other->terminal);
    EXPECT_EQ(rewriteChord(other, control(XK_v))->keysym, static_cast<std::uint32_t>(XK_Insert));
}

}  // namespace
}  // namespace orvex::linux_desktop

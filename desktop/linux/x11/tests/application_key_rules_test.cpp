#include "desktop/linux/x11/application_key_rules.h"
#include <gtest/gtest.h>  // before the X11 headers, whose macros clash with it

#include <X11/keysym.h>

namespace orvex::linux_desktop {
namespace {

KeyChord chord(std::uint32_t keysym, bool control, bool shift = false) {
    KeyChord result;
    result.keysym = keysym;
    result.control = control;
    result.shift = shift;
    return result;
}

const KeyChord kControlV = chord(XK_v, true);
const KeyChord kControlC = chord(XK_c, true);
const KeyChord kControlShiftV = chord(XK_v, true, true);
const KeyChord kControlShiftC = chord(XK_c, true, true);
const KeyChord kShiftInsert = chord(XK_Insert, false, true);

// The scripts' paste and copy chords as each kind of application receives them. A paste
// that reads the primary selection must say so (or it pastes whatever was selected last),
// and one that reads the clipboard must not (or it clears the user's selection elsewhere).
TEST(ApplicationKeyRules, PasteAndCopyChordsPerApplication) {
    struct Case {
        const char* what;
        std::optional<WindowClass> windowClass;
        std::string executable;
        std::string defaultTerminal;
        std::optional<KeyChord> paste;
        bool pastesPrimary;
        std::optional<KeyChord> copy;
    };
    const Case cases[] = {
        {"xterm", WindowClass{"xterm", "XTerm"}, "", "", kShiftInsert, true, std::nullopt},
        {"uxterm by program", std::nullopt, "/usr/bin/uxterm", "", kShiftInsert, true,
         std::nullopt},
        {"urxvt", WindowClass{"urxvt", "URxvt"}, "", "", kShiftInsert, true, std::nullopt},
        {"st", WindowClass{"st-256color", "st-256color"}, "", "", kControlShiftV, false,
         std::nullopt},
        {"GNOME Terminal", WindowClass{"gnome-terminal-server", "Gnome-terminal"}, "", "",
         kControlShiftV, false, kControlShiftC},
        {"Konsole in capitals", WindowClass{"KONSOLE", "Konsole"}, "", "", kControlShiftV, false,
         kControlShiftC},
        {"kitty by program", std::nullopt, "/usr/bin/kitty", "", kControlShiftV, false,
         kControlShiftC},
        {"Alacritty", WindowClass{"Alacritty", "Alacritty"}, "", "", kControlShiftV, false,
         kControlShiftC},
        {"the session's unknown terminal", std::nullopt, "/opt/foo/myterm", "/opt/foo/myterm",
         kShiftInsert, true, kControlShiftC},
        {"an unknown program", std::nullopt, "/opt/foo/myterm", "", kControlV, false, kControlC},
        {"an editor", WindowClass{"gedit", "Gedit"}, "/usr/bin/gedit", "", kControlV, false,
         kControlC},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ApplicationKeyRules* rules =
            keyRulesFor(c.windowClass, c.executable, c.defaultTerminal);
        AdaptedChord paste = adaptChord(rules, kControlV);
        EXPECT_EQ(paste.chord, c.paste);
        EXPECT_EQ(paste.pastesPrimary, c.pastesPrimary);
        AdaptedChord copy = adaptChord(rules, kControlC);
        EXPECT_EQ(copy.chord, c.copy);
        EXPECT_FALSE(copy.pastesPrimary);
        // Control+X would interrupt the program running in a terminal.
        const bool terminal = rules && rules->terminal;
        EXPECT_EQ(adaptChord(rules, chord(XK_x, true)).chord.has_value(), !terminal);
        // Other chords pass unchanged, Control+Shift+V too: not the paste chord scripts send.
        EXPECT_EQ(adaptChord(rules, chord(XK_Return, false)).chord, chord(XK_Return, false));
        EXPECT_EQ(adaptChord(rules, kControlShiftV).chord, kControlShiftV);
        EXPECT_FALSE(adaptChord(rules, kControlShiftV).pastesPrimary);
    }
}

}  // namespace
}  // namespace orvex::linux_desktop

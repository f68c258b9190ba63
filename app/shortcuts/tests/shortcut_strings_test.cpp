#include "app/shortcuts/shortcut_strings.h"

#include <gtest/gtest.h>

#include <string>

namespace orvex {
namespace {

TEST(ParseShortcutTest, Rules) {
    struct Case {
        const char* text;
        std::optional<ParsedShortcut> parsed;
    };
    const Case cases[] = {
        {"CommandOrControl+Shift+2", ParsedShortcut{19, cmdKey | shiftKey}},
        {"Alt+D", ParsedShortcut{2, optionKey}},
        // Modifier names ignore case and order; repeats count once.
        {"shift+cmd+A", ParsedShortcut{0, cmdKey | shiftKey}},
        {"META+x", ParsedShortcut{7, cmdKey}},
        {"Super+A", ParsedShortcut{0, cmdKey}},
        {"Command+Control+Option+Shift+Q",
         ParsedShortcut{12, cmdKey | controlKey | optionKey | shiftKey}},
        {"ctrl+Ctrl+alt+K", ParsedShortcut{40, controlKey | optionKey}},
        // The key is the last part that is no modifier; an unknown one last is no shortcut.
        {"A+Cmd+B", ParsedShortcut{11, cmdKey}},
        {"Cmd+Nope+B", ParsedShortcut{11, cmdKey}},
        {"Cmd+B+Nope", std::nullopt},
        // Empty parts are dropped, parts are not trimmed.
        {"Alt++D", ParsedShortcut{2, optionKey}},
        {"+Alt+D+", ParsedShortcut{2, optionKey}},
        {"Cmd + K", std::nullopt},
        {"Cmd+ K", std::nullopt},
        {"+", std::nullopt},
        {"", std::nullopt},
        {"Ctrl+Shift", std::nullopt},
        {"Ctrl+F13", std::nullopt},
        {"Cmd+Plus", std::nullopt},
        {"Cmd+é", std::nullopt},
        {"F5", ParsedShortcut{96, 0}},
        // Aliases share a code.
        {"Return", ParsedShortcut{36, 0}},
        {"Enter", ParsedShortcut{36, 0}},
        {"Backspace", ParsedShortcut{51, 0}},
        {"Delete", ParsedShortcut{51, 0}},
        {"ESC", ParsedShortcut{53, 0}},
        {"cmd", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseShortcut(c.text), c.parsed) << c.text;
    }
}

TEST(DisplayStringTest, Rules) {
    struct Case {
        std::string (*display)(std::string_view);
        const char* text;
        const char* shown;
    };
    const Case cases[] = {
        {displayString, "CommandOrControl+Shift+2", "⌘⇧2"},
        {displayString, "shift+cmd+A", "⇧⌘A"},  // symbols in written order
        {displayString, "Option+Option+x", "⌥⌥X"},
        {displayString, "Ctrl+Meta+f5", "⌃⌘F5"},
        {displayString, "", ""},
        {displayString, "Cmd+Space", "⌘␣"},
        {displayString, "Ctrl+Shift", "⌃⇧"},
        {displayString, "Super+A", "A"},
        {displayString, "Super", "SUPER"},
        {displayString, "Cmd+F13", "⌘F13"},
        {displayString, "Alt++PageUp", "⌥⇞"},
        {displayString, "Cmd + K", " K"},  // "Cmd " is a key name, not Command
        {displaySymbol, "Return", "↩"},
        {displaySymbol, "enter", "↩"},
        {displaySymbol, "delete", "⌫"},
        {displaySymbol, "ForwardDelete", "⌦"},
        {displaySymbol, "esc", "⎋"},
        {displaySymbol, "pagedown", "⇟"},
        {displaySymbol, "f5", "F5"},
        {displaySymbol, "é", "É"},
        {displaySymbol, "/", "/"},
        // The Linux desktop's words, in a fixed modifier order whatever the written one.
        {keyboardText, "CommandOrControl+Shift+2", "Ctrl+Shift+2"},
        {keyboardText, "shift+alt+d", "Alt+Shift+D"},
        {keyboardText, "Cmd+Control+Super+k", "Ctrl+K"},
        {keyboardText, "Option+Return", "Alt+Enter"},
        {keyboardText, "Ctrl+ForwardDelete", "Ctrl+Delete"},
        {keyboardText, "Alt+PageUp", "Alt+Page Up"},
        {keyboardText, "Ctrl+f5", "Ctrl+F5"},
        {keyboardText, "Alt+é", "Alt+É"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.display(c.text), c.shown) << c.text;
    }
}

TEST(CanonicalShortcutTest, FixedModifierOrderAndRefusals) {
    struct Case {
        std::uint32_t modifiers;
        std::uint32_t keyCode;
        std::optional<std::string> canonical;
    };
    const Case cases[] = {
        {cmdKey | shiftKey, 19, "CommandOrControl+Shift+2"},
        {controlKey | optionKey, 36, "Control+Alt+Return"},
        {shiftKey | optionKey | controlKey | cmdKey, 50, "CommandOrControl+Control+Alt+Shift+`"},
        {0, 0, std::nullopt},
        {0x0400, 0, std::nullopt},    // no modifier this system knows
        {cmdKey, 10, std::nullopt},   // ISO section key
        {cmdKey, 83, std::nullopt},   // keypad 1
        {cmdKey, 105, std::nullopt},  // F13: named, not registrable
    };
    for (const Case& c : cases) {
        EXPECT_EQ(canonicalShortcut(c.modifiers, c.keyCode), c.canonical) << c.keyCode;
    }
}

// The two tables must agree: a typo in either breaks the round trip of a captured shortcut.
TEST(CanonicalShortcutTest, EveryCapturedShortcutParsesBackToThePress) {
    for (const auto& entry : keyCodeTable()) {
        auto name = captureNameFor(entry.keyCode);
        ASSERT_TRUE(name) << entry.name;
        EXPECT_EQ(keyCodeFor(*name), entry.keyCode) << entry.name;
    }
    const std::uint32_t modifiers[] = {cmdKey, controlKey, optionKey, shiftKey};
    const char* symbols[] = {"⌘", "⌃", "⌥", "⇧"};
    for (const auto& entry : captureNameTable()) {
        if (!capturableKeyName(entry.keyCode)) {
            EXPECT_TRUE(entry.name == "F13" || entry.name == "F14" || entry.name == "F15")
                << entry.name;
            continue;
        }
        for (unsigned combo = 1; combo < 16; ++combo) {
            std::uint32_t mask = 0;
            std::string expectedSymbols;
            for (int bit = 0; bit < 4; ++bit) {
                if (combo & (1u << bit)) {
                    mask |= modifiers[bit];
                    expectedSymbols += symbols[bit];
                }
            }
            auto canonical = canonicalShortcut(mask, entry.keyCode);
            ASSERT_TRUE(canonical) << entry.name << " " << mask;
            EXPECT_EQ(parseShortcut(*canonical), (ParsedShortcut{entry.keyCode, mask}))
                << *canonical;
            EXPECT_EQ(displayString(*canonical).rfind(expectedSymbols, 0), 0u) << *canonical;
        }
    }
}

}  // namespace
}  // namespace orvex

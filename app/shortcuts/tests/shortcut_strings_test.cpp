#include "app/shortcuts/shortcut_strings.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace orvex {
namespace {

TEST(ShortcutTablesTest, TablesAreCompleteWithDistinctNames) {
    EXPECT_EQ(keyCodeTable().size(), 76u);
    EXPECT_EQ(captureNameTable().size(), 76u);
    EXPECT_EQ(displaySymbolTable().size(), 17u);

    std::set<std::string_view> keyNames;
    for (const auto& entry : keyCodeTable()) {
        EXPECT_FALSE(entry.name.empty());
        EXPECT_TRUE(keyNames.insert(entry.name).second) << entry.name;
    }
    std::set<std::uint32_t> captureCodes;
    std::set<std::string_view> captureNames;
    for (const auto& entry : captureNameTable()) {
        EXPECT_FALSE(entry.name.empty());
        EXPECT_TRUE(captureCodes.insert(entry.keyCode).second) << entry.keyCode;
        EXPECT_TRUE(captureNames.insert(entry.name).second) << entry.name;
    }
}

TEST(ShortcutTablesTest, LettersAndDigitsHaveTheirVirtualKeyCodes) {
    const std::map<std::string, std::uint32_t> expected{
        {"a", 0},  {"s", 1},  {"d", 2},  {"f", 3},  {"h", 4},  {"g", 5},   {"z", 6},  {"x", 7},
        {"c", 8},  {"v", 9},  {"b", 11}, {"q", 12}, {"w", 13}, {"e", 14},  {"r", 15}, {"y", 16},
        {"t", 17}, {"o", 31}, {"u", 32}, {"i", 34}, {"p", 35}, {"l", 37},  {"j", 38}, {"k", 40},
        {"n", 45}, {"m", 46}, {"1", 18}, {"2", 19}, {"3", 20}, {"4", 21},  {"6", 22}, {"5", 23},
        {"9", 25}, {"7", 26}, {"8", 28}, {"0", 29}, {"-", 27}, {"=", 24},  {"[", 33}, {"]", 30},
        {";", 41}, {"'", 39}, {",", 43}, {".", 47}, {"/", 44}, {"\\", 42}, {"`", 50}};
    for (const auto& [name, code] : expected) {
        EXPECT_EQ(keyCodeFor(name), code) << name;
    }
}

// The two directions must agree: a typo in either table breaks the round trip of a
// captured shortcut.
TEST(ShortcutTablesTest, KeyCodeAndCaptureTablesAgree) {
    for (const auto& entry : keyCodeTable()) {
        auto name = captureNameFor(entry.keyCode);
        ASSERT_TRUE(name) << entry.name;
        EXPECT_EQ(keyCodeFor(*name), entry.keyCode) << entry.name;
    }
    for (const auto& entry : captureNameTable()) {
        const bool unregistrable =
            entry.name == "F13" || entry.name == "F14" || entry.name == "F15";
        EXPECT_EQ(keyCodeFor(entry.name).has_value(), !unregistrable) << entry.name;
    }
}

TEST(ParseShortcutTest, FactoryShortcuts) {
    EXPECT_EQ(parseShortcut("CommandOrControl+Shift+2"), (ParsedShortcut{19, 0x0300}));
    EXPECT_EQ(parseShortcut("Alt+D"), (ParsedShortcut{2, 0x0800}));
}

TEST(ParseShortcutTest, ModifierNamesOrderAndCaseDoNotMatter) {
    EXPECT_EQ(parseShortcut("shift+cmd+A"), parseShortcut("Cmd+Shift+a"));
    EXPECT_EQ(parseShortcut("Cmd+Shift+a"), (ParsedShortcut{0, cmdKey | shiftKey}));
    EXPECT_EQ(parseShortcut("META+x"), (ParsedShortcut{7, cmdKey}));
    EXPECT_EQ(parseShortcut("Super+A"), (ParsedShortcut{0, cmdKey}));
    EXPECT_EQ(parseShortcut("Command+Control+Option+Shift+Q"),
              (ParsedShortcut{12, cmdKey | controlKey | optionKey | shiftKey}));
    EXPECT_EQ(parseShortcut("ctrl+Ctrl+alt+K"), (ParsedShortcut{40, controlKey | optionKey}));
}

TEST(ParseShortcutTest, KeyIsTheLastNonModifierPart) {
    EXPECT_EQ(parseShortcut("A+Cmd+B"), (ParsedShortcut{11, cmdKey}));
    EXPECT_EQ(parseShortcut("Cmd+Nope+B"), (ParsedShortcut{11, cmdKey}));
    EXPECT_FALSE(parseShortcut("Cmd+B+Nope"));
}

TEST(ParseShortcutTest, EmptyPartsAreDroppedAndPartsAreNotTrimmed) {
    EXPECT_EQ(parseShortcut("Alt++D"), (ParsedShortcut{2, optionKey}));
    EXPECT_EQ(parseShortcut("+Alt+D+"), (ParsedShortcut{2, optionKey}));
    EXPECT_FALSE(parseShortcut("Cmd + K"));
    EXPECT_FALSE(parseShortcut("Cmd+ K"));
    EXPECT_FALSE(parseShortcut("+"));
    EXPECT_FALSE(parseShortcut("++"));
    EXPECT_FALSE(parseShortcut(""));
}

TEST(ParseShortcutTest, NoKeyOrUnknownKeyYieldsNone) {
    EXPECT_FALSE(parseShortcut("Ctrl+Shift"));
    EXPECT_FALSE(parseShortcut("Ctrl+F13"));
    EXPECT_FALSE(parseShortcut("Cmd+Plus"));
    EXPECT_FALSE(parseShortcut("Cmd+é"));
}

TEST(ParseShortcutTest, BareKeyParsesWithoutModifiers) {
    EXPECT_EQ(parseShortcut("F5"), (ParsedShortcut{96, 0}));
}

TEST(ParseShortcutTest, KeyAliasesShareCodes) {
    EXPECT_EQ(keyCodeFor("Return"), 36u);
    EXPECT_EQ(keyCodeFor("Enter"), 36u);
    EXPECT_EQ(keyCodeFor("Backspace"), 51u);
    EXPECT_EQ(keyCodeFor("Delete"), 51u);
    EXPECT_EQ(keyCodeFor("ESC"), 53u);
    EXPECT_EQ(keyCodeFor("ForwardDelete"), 117u);
    EXPECT_EQ(keyCodeFor("PageDown"), 121u);
    EXPECT_EQ(keyCodeFor("F12"), 111u);
    EXPECT_FALSE(keyCodeFor("F13"));
    EXPECT_FALSE(keyCodeFor("cmd"));
}

TEST(DisplayStringTest, ModifierSymbolsInWrittenOrder) {
    EXPECT_EQ(displayString("CommandOrControl+Shift+2"), "⌘⇧2");
    EXPECT_EQ(displayString("Alt+D"), "⌥D");
    EXPECT_EQ(displayString("shift+cmd+A"), "⇧⌘A");
    EXPECT_EQ(displayString("Cmd+Shift+a"), "⌘⇧A");
    EXPECT_EQ(displayString("Option+Option+x"), "⌥⌥X");
    EXPECT_EQ(displayString("Ctrl+Meta+f5"), "⌃⌘F5");
}

TEST(DisplayStringTest, KeysAndEdgeCases) {
    EXPECT_EQ(displayString(""), "");
    EXPECT_EQ(displayString("Cmd+Space"), "⌘␣");
    EXPECT_EQ(displayString("Ctrl+Shift"), "⌃⇧");
    EXPECT_EQ(displayString("Super+A"), "A");
    EXPECT_EQ(displayString("Super"), "SUPER");
    EXPECT_EQ(displayString("Cmd+F13"), "⌘F13");
    EXPECT_EQ(displayString("Alt++PageUp"), "⌥⇞");
    EXPECT_EQ(displayString("Cmd + K"), " K");  // "Cmd " is a key name, not Command
}

TEST(DisplaySymbolTest, SymbolsOrUpperCaseName) {
    EXPECT_EQ(displaySymbol("Return"), "↩");
    EXPECT_EQ(displaySymbol("enter"), "↩");
    EXPECT_EQ(displaySymbol("delete"), "⌫");
    EXPECT_EQ(displaySymbol("ForwardDelete"), "⌦");
    EXPECT_EQ(displaySymbol("esc"), "⎋");
    EXPECT_EQ(displaySymbol("pagedown"), "⇟");
    EXPECT_EQ(displaySymbol("a"), "A");
    EXPECT_EQ(displaySymbol("f5"), "F5");
    EXPECT_EQ(displaySymbol("é"), "É");
    EXPECT_EQ(displaySymbol("/"), "/");
}

TEST(CanonicalShortcutTest, FixedModifierOrder) {
    EXPECT_EQ(canonicalShortcut(cmdKey | shiftKey, 19), "CommandOrControl+Shift+2");
    EXPECT_EQ(canonicalShortcut(optionKey, 2), "Alt+D");
    EXPECT_EQ(canonicalShortcut(controlKey | optionKey, 36), "Control+Alt+Return");
    EXPECT_EQ(canonicalShortcut(shiftKey | optionKey | controlKey | cmdKey, 50),
              "CommandOrControl+Control+Alt+Shift+`");
}

TEST(CanonicalShortcutTest, RefusesBareKeysAndUnnamedKeys) {
    EXPECT_FALSE(canonicalShortcut(0, 0));
    EXPECT_FALSE(canonicalShortcut(0x0400, 0));   // no modifier this system knows
    EXPECT_FALSE(canonicalShortcut(cmdKey, 10));  // ISO section key
    EXPECT_FALSE(canonicalShortcut(cmdKey, 83));  // keypad 1
}

TEST(CanonicalShortcutTest, F13ToF15AreNamedButNotCapturable) {
    for (std::uint32_t code : {105u, 107u, 113u}) {
        EXPECT_TRUE(captureNameFor(code)) << code;
        EXPECT_FALSE(capturableKeyName(code)) << code;
        EXPECT_FALSE(canonicalShortcut(cmdKey, code)) << code;
    }
    EXPECT_EQ(captureNameFor(105), "F13");
    EXPECT_EQ(capturableKeyName(111), "F12");
}

// Every shortcut the capture field can produce must register as the keys that were pressed
// and display its modifiers as ⌘⌃⌥⇧.
TEST(CanonicalShortcutTest, EveryCapturedShortcutParsesBackToThePress) {
    const std::uint32_t modifiers[] = {cmdKey, controlKey, optionKey, shiftKey};
    const char* symbols[] = {"⌘", "⌃", "⌥", "⇧"};
    int checked = 0;
    for (const auto& entry : captureNameTable()) {
        if (!capturableKeyName(entry.keyCode)) {
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
            ++checked;
        }
    }
    EXPECT_EQ(checked, 73 * 15);
}

}  // namespace
}  // namespace orvex

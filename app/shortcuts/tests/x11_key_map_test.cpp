#include "app/shortcuts/x11_key_map.h"

#include <gtest/gtest.h>

#include <set>

#include "app/shortcuts/shortcut_strings.h"

namespace orvex {
namespace {

TEST(X11KeyMapTest, EveryKeyOfTheShortcutTablesHasAKeysym) {
    for (const auto& entry : keyCodeTable()) {
        EXPECT_TRUE(x11KeysymFor(entry.keyCode)) << entry.name;
    }
    for (const auto& entry : captureNameTable()) {
        EXPECT_TRUE(x11KeysymFor(entry.keyCode)) << entry.name;
    }
}

TEST(X11KeyMapTest, DistinctKeysGetDistinctKeysyms) {
    std::set<std::uint32_t> codes;
    std::set<std::uint32_t> keysyms;
    for (const auto& entry : x11KeyTable()) {
        EXPECT_NE(entry.keysym, 0u);
        EXPECT_TRUE(codes.insert(entry.keyCode).second) << entry.keyCode;
        EXPECT_TRUE(keysyms.insert(entry.keysym).second) << entry.keysym;
    }
}

TEST(X11KeyMapTest, KnownKeysyms) {
    EXPECT_EQ(x11KeysymFor(*keyCodeFor("a")), 0x61u);
    EXPECT_EQ(x11KeysymFor(*keyCodeFor("z")), 0x7au);
    EXPECT_EQ(x11KeysymFor(*keyCodeFor("2")), 0x32u);
    EXPECT_EQ(x11KeysymFor(*keyCodeFor("return")), 0xff0du);
    EXPECT_EQ(x11KeysymFor(*keyCodeFor("backspace")), 0xff08u);
    EXPECT_EQ(x11KeysymFor(*keyCodeFor("forwarddelete")), 0xffffu);
    EXPECT_EQ(x11KeysymFor(*keyCodeFor("pageup")), 0xff55u);
    EXPECT_EQ(x11KeysymFor(*keyCodeFor("f1")), 0xffbeu);
    EXPECT_EQ(x11KeysymFor(*keyCodeFor("f12")), 0xffc9u);
    EXPECT_EQ(x11KeysymFor(*keyCodeFor("`")), 0x60u);
    EXPECT_FALSE(x11KeysymFor(10));
}

TEST(X11KeyMapTest, ModifierMapping) {
    EXPECT_EQ(x11ModifiersFor(0), 0u);
    EXPECT_EQ(x11ModifiersFor(cmdKey), x11ControlMask);
    EXPECT_EQ(x11ModifiersFor(controlKey), x11ControlMask);
    EXPECT_EQ(x11ModifiersFor(cmdKey | controlKey), x11ControlMask);
    EXPECT_EQ(x11ModifiersFor(optionKey), x11Mod1Mask);
    EXPECT_EQ(x11ModifiersFor(shiftKey), x11ShiftMask);
    EXPECT_EQ(x11ModifiersFor(parseShortcut("CommandOrControl+Shift+2")->modifiers),
              x11ControlMask | x11ShiftMask);
    EXPECT_EQ(x11ModifiersFor(0x0400 | optionKey), x11Mod1Mask);
}

}  // namespace
}  // namespace orvex

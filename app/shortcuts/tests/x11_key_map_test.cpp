#include "app/shortcuts/x11_key_map.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>

#include "app/shortcuts/shortcut_strings.h"

namespace orvex {
namespace {

TEST(X11KeyMapTest, EveryKeyNameGrabsItsOwnDistinctKeysym) {
    std::set<std::uint32_t> keysyms;
    for (const auto& entry : captureNameTable()) {
        auto keysym = x11KeysymFor(entry.keyCode);
        ASSERT_TRUE(keysym) << entry.name;
        EXPECT_TRUE(keysyms.insert(*keysym).second) << entry.name;
        // A printable key's keysym is its character.
        if (entry.name.size() == 1) {
            EXPECT_EQ(*keysym, static_cast<std::uint32_t>(std::tolower(entry.name[0])))
                << entry.name;
        }
    }
    const std::pair<const char*, std::uint32_t> named[] = {
        {"return", 0xff0d}, {"backspace", 0xff08}, {"forwarddelete", 0xffff},
        {"pageup", 0xff55}, {"f1", 0xffbe},        {"f12", 0xffc9}};
    for (const auto& [name, keysym] : named) {
        EXPECT_EQ(x11KeysymFor(*keyCodeFor(name)), keysym) << name;
    }
    EXPECT_FALSE(x11KeysymFor(10));
}

TEST(X11KeyMapTest, ModifierMapping) {
    const std::pair<std::uint32_t, std::uint32_t> cases[] = {
        {0, 0},
        {cmdKey, x11ControlMask},
        {controlKey, x11ControlMask},
        {cmdKey | controlKey, x11ControlMask},
        {optionKey, x11Mod1Mask},
        {shiftKey | cmdKey, x11ControlMask | x11ShiftMask},
        {0x0400 | optionKey, x11Mod1Mask},
    };
    for (const auto& [modifiers, x11] : cases) {
        EXPECT_EQ(x11ModifiersFor(modifiers), x11) << modifiers;
    }
}

}  // namespace
}  // namespace orvex

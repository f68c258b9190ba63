#include "desktop/linux/x11/keysym_text.h"
#include <gtest/gtest.h>  // before the X11 headers, whose macros clash with it

#include <X11/keysym.h>

#include "desktop/keyboard.h"
#include "desktop/linux/x11/x11_hot_keys.h"
#include "desktop/linux/x11/x11_keyboard.h"

namespace orvex::linux_desktop {
namespace {

TEST(KeysymText, CharactersBecomeTheirKeysyms) {
    EXPECT_EQ(keysymForCharacter(U'v'), std::optional<std::uint32_t>(XK_v));
    EXPECT_EQ(keysymForCharacter(U'V'), std::optional<std::uint32_t>(XK_V));
    EXPECT_EQ(keysymForCharacter(U'\r'), std::optional<std::uint32_t>(XK_Return));
    EXPECT_EQ(keysymForCharacter(U'\n'), std::optional<std::uint32_t>(XK_Return));
    EXPECT_EQ(keysymForCharacter(U'\t'), std::optional<std::uint32_t>(XK_Tab));
    EXPECT_EQ(keysymForCharacter(U'é'), std::optional<std::uint32_t>(XK_eacute));
    EXPECT_EQ(keysymForCharacter(U'あ'), std::optional<std::uint32_t>(0x01003042));
    EXPECT_FALSE(keysymForCharacter(U'\x01'));
    EXPECT_FALSE(keysymForCharacter(U'\x7f'));
}

TEST(KeysymText, Utf8DecodingRefusesBrokenText) {
    auto decoded = decodeUtf8("aé日😀");
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, (std::vector<char32_t>{U'a', U'é', U'日', U'😀'}));
    EXPECT_FALSE(decodeUtf8("\xC3"));          // cut short
    EXPECT_FALSE(decodeUtf8("\xC0\xAF"));      // overlong
    EXPECT_FALSE(decodeUtf8("\xED\xA0\x80"));  // surrogate
    EXPECT_TRUE(decodeUtf8("")->empty());
}

TEST(KeysymText, ModifierKeyCodesAreTheirKeysCommandBeingSuper) {
    EXPECT_EQ(keysymForKeyCode(keycode::kCommand), std::optional<std::uint32_t>(XK_Super_L));
    EXPECT_EQ(keysymForKeyCode(keycode::kRightCommand), std::optional<std::uint32_t>(XK_Super_R));
}

TEST(HotKeyLocks, EveryLockCombinationIsGrabbed) {
    // The desktop tests grab them with NumLock on Mod2; a keyboard without NumLock only needs
    // CapsLock's two states.
    EXPECT_EQ(lockVariants(0), (std::vector<unsigned int>{0, LockMask}));
}

}  // namespace
}  // namespace orvex::linux_desktop

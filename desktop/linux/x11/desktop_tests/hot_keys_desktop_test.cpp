// Key grabs of the X11 backend: a synthetic press fires the handler, refusals carry their
// status. Run inside scripts/with-desktop-session.
#include <gtest/gtest.h>  // before the X11 headers, whose macros clash with it

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include "desktop/linux/x11/desktop_tests/backend_fixture.h"
#include "desktop/linux/x11/x11_display.h"
#include "desktop/linux/x11/x11_hot_keys.h"
#include "desktop/linux/x11/x11_keyboard.h"

namespace orvex::testing {
namespace {

// Shortcut-table codes: D = 2, F = 3, G = 5; Carbon masks.
constexpr std::uint32_t kKeyD = 2, kKeyF = 3, kKeyG = 5;
constexpr std::uint32_t kOptionKey = 0x0800, kShiftKey = 0x0200, kCmdKey = 0x0100;

// Another X client: grabs a key on the root window the way another application would.
class OtherClient {
  public:
    OtherClient() {
        std::string problem;
        display_ = linux_desktop::X11Display::open(&problem);
    }
    int grab(KeySym keysym, unsigned int modifiers) {
        auto lock = display_->lock();
        linux_desktop::X11ErrorTrap trap(display_->raw());
        XGrabKey(display_->raw(), XKeysymToKeycode(display_->raw(), keysym), modifiers,
                 display_->root(), False, GrabModeAsync, GrabModeAsync);
        return trap.sync();
    }

  private:
    std::unique_ptr<linux_desktop::X11Display> display_;
};

class HotKeysFixture : public BackendFixture {
  protected:
    void press(KeySym keysym, bool alt, bool shift = false, bool control = false) {
        auto* keyboard = dynamic_cast<linux_desktop::XTestKeyboard*>(desktop().keyboard);
        ASSERT_NE(keyboard, nullptr);
        linux_desktop::KeyChord chord;
        chord.keysym = static_cast<std::uint32_t>(keysym);
        chord.alt = alt;
        chord.shift = shift;
        chord.control = control;
        ASSERT_EQ(keyboard->sendChord(chord), std::nullopt);
    }
};

TEST_F(HotKeysFixture, ASyntheticPressFiresTheHandlerOnTheMainQueueOnce) {
    std::vector<std::uint32_t> fired;
    desktop().hotKeys->setHandler([&](std::uint32_t id) { fired.push_back(id); });
    ASSERT_EQ(desktop().hotKeys->registerHotKey(kKeyD, kOptionKey, 7), HotKeys::kSuccess);
    ASSERT_EQ(desktop().hotKeys->registerHotKey(kKeyG, kCmdKey | kShiftKey, 8), HotKeys::kSuccess);

    press(XK_d, /*alt=*/true);
    ASSERT_TRUE(pumpUntil([&] { return !fired.empty(); }, 5s, &queue_));
    // Command means Control here.
    press(XK_g, false, /*shift=*/true, /*control=*/true);
    ASSERT_TRUE(pumpUntil([&] { return fired.size() >= 2; }, 5s, &queue_));
    // The key without its modifier is not the shortcut.
    press(XK_d, false);
    pumpFor(300ms, &queue_);
    EXPECT_EQ(fired, (std::vector<std::uint32_t>{7, 8}));

    desktop().hotKeys->unregisterHotKey(7);
    press(XK_d, true);
    pumpFor(300ms, &queue_);
    EXPECT_EQ(fired.size(), 2u);
}

TEST_F(HotKeysFixture, TheSameShortcutTwiceFailsAndTheFirstKeepsWorking) {
    std::vector<std::uint32_t> fired;
    desktop().hotKeys->setHandler([&](std::uint32_t id) { fired.push_back(id); });
    ASSERT_EQ(desktop().hotKeys->registerHotKey(kKeyD, kOptionKey, 1), HotKeys::kSuccess);
    EXPECT_EQ(desktop().hotKeys->registerHotKey(kKeyD, kOptionKey, 2),
              linux_desktop::X11HotKeys::kKeyTaken);
    press(XK_d, true);
    ASSERT_TRUE(pumpUntil([&] { return !fired.empty(); }, 5s, &queue_));
    pumpFor(200ms, &queue_);
    EXPECT_EQ(fired, std::vector<std::uint32_t>{1});
}

TEST_F(HotKeysFixture, AShortcutAnotherClientHoldsFailsWithBadAccessAndIsReleasedWhenDropped) {
    OtherClient other;
    ASSERT_EQ(other.grab(XK_f, Mod1Mask), Success);
    EXPECT_EQ(desktop().hotKeys->registerHotKey(kKeyF, kOptionKey, 3), BadAccess);

    // Ours, once given up, is free for others again; while held it is not.
    ASSERT_EQ(desktop().hotKeys->registerHotKey(kKeyD, kOptionKey, 4), HotKeys::kSuccess);
    EXPECT_EQ(other.grab(XK_d, Mod1Mask), BadAccess);
    desktop().hotKeys->unregisterHotKey(4);
    EXPECT_EQ(other.grab(XK_d, Mod1Mask), Success);
}

TEST_F(HotKeysFixture, NumLockAndCapsLockDoNotDisableAShortcut) {
    std::vector<std::uint32_t> fired;
    desktop().hotKeys->setHandler([&](std::uint32_t id) { fired.push_back(id); });
    ASSERT_EQ(desktop().hotKeys->registerHotKey(kKeyD, kOptionKey, 5), HotKeys::kSuccess);
    // Every lock variant of Alt+D is ours: another client can grab none of them.
    OtherClient other;
    EXPECT_EQ(other.grab(XK_d, Mod1Mask | LockMask), BadAccess);
    EXPECT_EQ(other.grab(XK_d, Mod1Mask | Mod2Mask), BadAccess);
    EXPECT_EQ(other.grab(XK_d, Mod1Mask | Mod2Mask | LockMask), BadAccess);
    press(XK_Caps_Lock, false);
    press(XK_d, true);
    press(XK_Caps_Lock, false);
    ASSERT_TRUE(pumpUntil([&] { return !fired.empty(); }, 5s, &queue_));
    EXPECT_EQ(fired, std::vector<std::uint32_t>{5});
}

}  // namespace
}  // namespace orvex::testing

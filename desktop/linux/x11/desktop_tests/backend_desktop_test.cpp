// The X11 backend in this process against real GTK windows: running applications,
// activation, held modifiers, the clipboard's refusals and key grabs.
#include "desktop/linux/x11/desktop_tests/desktop_fixture.h"
#include "desktop/linux/x11/x11_hot_keys.h"

namespace orvex::testing {
namespace {

TEST_F(BackendFixture, ApplicationsAreNamedByTheirEntriesAndTheActiveWindowIsInFront) {
    editor("alpha");
    BackgroundChild& other = chat();
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(other.pid()); }));

    auto chats = desktop().runningApplications->runningApplications("com.openai.codex");
    ASSERT_EQ(chats.size(), 1u);
    EXPECT_EQ(chats.front()->processIdentifier(), other.pid());
    EXPECT_EQ(chats.front()->localizedName(), std::optional<std::string>("Test Chat"));
    EXPECT_FALSE(chats.front()->isTerminated());
    EXPECT_EQ(desktop().workspace->urlForApplication("com.openai.codex"),
              std::optional<std::string>((dataHome_ / "applications/com.openai.codex.desktop")));
    EXPECT_FALSE(desktop().workspace->urlForApplication("com.example.absent"));
    // The installed applications an app preset can name are the entries, found by name.
    std::vector<std::string> installed = desktop().workspace->installedApplicationNames();
    for (const char* name : {"Test Chat", "Test Editor"}) {
        EXPECT_NE(std::ranges::find(installed, name), installed.end()) << name;
        EXPECT_TRUE(desktop().workspace->applicationPathForName(name, false)) << name;
    }

    // A reference outlives its process and then says so.
    other.stop();
    EXPECT_TRUE(chats.front()->isTerminated());
    EXPECT_FALSE(chats.front()->activate(true));
}

TEST_F(BackendFixture, ActivationBringsAWindowForwardRestoresAMinimizedOneAndIsReported) {
    BackgroundChild& editorWindow = editor("alpha");
    BackgroundChild& chatWindow = chat();
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(chatWindow.pid()); }));
    std::vector<std::optional<std::string>> activated;
    auto subscription = desktop().workspace->subscribeDidActivateApplication(
        [&](RunningApplicationRef app) { activated.push_back(app->bundleIdentifier()); });

    auto editors = desktop().runningApplications->runningApplications("org.orvex.TestEditor");
    ASSERT_EQ(editors.size(), 1u);
    ASSERT_TRUE(editors.front()->activate(true));
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(editorWindow.pid()); }));
    // The chat's own activation may still be on its way: the editor's comes after it.
    ASSERT_TRUE(pumpUntil(
        [&] { return !activated.empty() && activated.back() == "org.orvex.TestEditor"; }, 5s));

    // Minimized, the chat is no longer in front; activating it restores it.
    ASSERT_TRUE(minimize(chatWindow.pid()));
    auto chats = desktop().runningApplications->runningApplications("com.openai.codex");
    ASSERT_EQ(chats.size(), 1u);
    ASSERT_TRUE(chats.front()->activate(true));
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(chatWindow.pid()); }));
    ASSERT_TRUE(pumpUntil([&] { return activated.back() == "com.openai.codex"; }, 5s));

    ASSERT_TRUE(minimize(editorWindow.pid()));
    ASSERT_TRUE(editors.front()->activate(true));
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(editorWindow.pid()); }));

    desktop().workspace->unsubscribe(subscription);
    std::size_t seen = activated.size();
    chats.front()->activate(true);
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(chatWindow.pid()); }));
    pumpFor(300ms);
    EXPECT_EQ(activated.size(), seen);
}

TEST_F(BackendFixture, HeldModifiersAreSeenAndReleasedAndNonImagesAreRefused) {
    EXPECT_FALSE(desktop().keyboard->heldModifiers().any());
    auto* keyboard = dynamic_cast<linux_desktop::XTestKeyboard*>(desktop().keyboard);
    ASSERT_NE(keyboard, nullptr);
    ASSERT_EQ(keyboard->sendKey(XK_Shift_R, true), std::nullopt);
    ASSERT_EQ(keyboard->sendKey(XK_Control_L, true), std::nullopt);
    KeyModifiers held = desktop().keyboard->heldModifiers();
    EXPECT_TRUE(held.shift && held.control);
    EXPECT_FALSE(held.option);
    desktop().keyboard->postKeyUp(keycode::kRightShift);
    desktop().keyboard->postKeyUp(keycode::kControl);
    EXPECT_FALSE(desktop().keyboard->heldModifiers().any());

    std::vector<std::uint8_t> notImage{'n', 'o', 'p', 'e'};
    EXPECT_FALSE(desktop().pasteboard->canReadImage(notImage));
    EXPECT_FALSE(desktop().pasteboard->writeImagePNG(notImage));
}

// Shortcut-table codes: D = 2, G = 5; Carbon masks.
constexpr std::uint32_t kKeyD = 2, kKeyG = 5;
constexpr std::uint32_t kOptionKey = 0x0800, kShiftKey = 0x0200, kCmdKey = 0x0100;

// Orvex's own start-up shows a shortcut taken by another client or twice refused; this is
// the rest: modifiers, a press without its modifier, and the grab given up.
TEST_F(BackendFixture, ASyntheticPressFiresTheHandlerOnceAndAnUnregisteredKeyIsFreeAgain) {
    std::vector<std::uint32_t> fired;
    desktop().hotKeys->setHandler([&](std::uint32_t id) { fired.push_back(id); });
    ASSERT_EQ(desktop().hotKeys->registerHotKey(kKeyD, kOptionKey, 7), HotKeys::kSuccess);
    ASSERT_EQ(desktop().hotKeys->registerHotKey(kKeyG, kCmdKey | kShiftKey, 8), HotKeys::kSuccess);

    press(XK_d, /*alt=*/true);
    ASSERT_TRUE(pumpUntil([&] { return !fired.empty(); }, 5s));
    // Command means Control here.
    press(XK_g, false, /*shift=*/true, /*control=*/true);
    ASSERT_TRUE(pumpUntil([&] { return fired.size() >= 2; }, 5s));
    // The key without its modifier is not the shortcut.
    press(XK_d, false);
    pumpFor(300ms);
    EXPECT_EQ(fired, (std::vector<std::uint32_t>{7, 8}));

    EXPECT_EQ(grabFromHere(XK_d, Mod1Mask), BadAccess);
    desktop().hotKeys->unregisterHotKey(7);
    EXPECT_EQ(grabFromHere(XK_d, Mod1Mask), Success);
    press(XK_d, true);
    pumpFor(300ms);
    EXPECT_EQ(fired.size(), 2u);
}

TEST_F(BackendFixture, NumLockAndCapsLockDoNotDisableAShortcut) {
    std::vector<std::uint32_t> fired;
    desktop().hotKeys->setHandler([&](std::uint32_t id) { fired.push_back(id); });
    ASSERT_EQ(desktop().hotKeys->registerHotKey(kKeyD, kOptionKey, 5), HotKeys::kSuccess);
    // Every lock variant of Alt+D is ours: another client can grab none of them.
    for (unsigned int locks : {LockMask, Mod2Mask, Mod2Mask | LockMask})
        EXPECT_EQ(grabFromHere(XK_d, Mod1Mask | locks), BadAccess) << locks;
    press(XK_Caps_Lock, false);
    press(XK_d, true);
    press(XK_Caps_Lock, false);
    ASSERT_TRUE(pumpUntil([&] { return !fired.empty(); }, 5s));
    EXPECT_EQ(fired, std::vector<std::uint32_t>{5});
}

}  // namespace
}  // namespace orvex::testing

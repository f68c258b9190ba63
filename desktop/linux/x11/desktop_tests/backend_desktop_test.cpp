// Running applications, activation, keystrokes and the clipboard of the X11 backend, against
// real GTK windows. Run inside scripts/with-desktop-session.
#include <gtest/gtest.h>  // before the X11 headers, whose macros clash with it

#include <X11/keysym.h>
#include <signal.h>

#include "desktop/linux/x11/desktop_tests/backend_fixture.h"
#include "desktop/linux/x11/x11_keyboard.h"

namespace orvex::testing {
namespace {

TEST_F(BackendFixture, ApplicationsAreNamedByTheirEntriesAndTheActiveWindowIsInFront) {
    BackgroundChild& editor = startEditor("alpha");
    BackgroundChild& chat = startChat();
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(chat.pid()); }));

    auto chats = desktop().runningApplications->runningApplications("com.openai.codex");
    ASSERT_EQ(chats.size(), 1u);
    EXPECT_EQ(chats.front()->processIdentifier(), chat.pid());
    EXPECT_EQ(chats.front()->localizedName(), std::optional<std::string>("Test Chat"));
    EXPECT_FALSE(chats.front()->isTerminated());
    bool editorListed = false;
    for (auto& app : desktop().runningApplications->runningApplications())
        editorListed = editorListed || app->processIdentifier() == editor.pid();
    EXPECT_TRUE(editorListed);
    EXPECT_EQ(desktop().workspace->urlForApplication("com.openai.codex"),
              std::optional<std::string>((dataHome_ / "applications/com.openai.codex.desktop")));
    EXPECT_FALSE(desktop().workspace->urlForApplication("com.example.absent"));

    // A reference outlives its process and then says so.
    chat.stop();
    EXPECT_TRUE(chats.front()->isTerminated());
    EXPECT_FALSE(chats.front()->activate(true));
}

TEST_F(BackendFixture, ActivationBringsAWindowForwardRestoresAMinimizedOneAndIsReported) {
    BackgroundChild& editor = startEditor("alpha");
    BackgroundChild& chat = startChat();
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(chat.pid()); }));
    std::vector<std::optional<std::string>> activated;
    auto subscription = desktop().workspace->subscribeDidActivateApplication(
        [&](RunningApplicationRef app) { activated.push_back(app->bundleIdentifier()); });

    auto editors = desktop().runningApplications->runningApplications("org.orvex.TestEditor");
    ASSERT_EQ(editors.size(), 1u);
    ASSERT_TRUE(editors.front()->activate(true));
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(editor.pid()); }, 10s, &queue_));
    // The chat's own activation may still be on its way: the editor's comes after it.
    ASSERT_TRUE(
        pumpUntil([&] { return !activated.empty() && activated.back() == "org.orvex.TestEditor"; },
                  5s, &queue_));

    // Minimized, the chat is no longer in front; activating it restores it.
    ASSERT_TRUE(minimize(chat.pid()));
    auto chats = desktop().runningApplications->runningApplications("com.openai.codex");
    ASSERT_EQ(chats.size(), 1u);
    ASSERT_TRUE(chats.front()->activate(true));
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(chat.pid()); }, 10s, &queue_));
    ASSERT_TRUE(pumpUntil([&] { return activated.back() == "com.openai.codex"; }, 5s, &queue_));

    ASSERT_TRUE(minimize(editor.pid()));
    ASSERT_TRUE(editors.front()->activate(true));
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(editor.pid()); }, 10s, &queue_));

    desktop().workspace->unsubscribe(subscription);
    std::size_t seen = activated.size();
    chats.front()->activate(true);
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(chat.pid()); }, 10s, &queue_));
    pumpFor(300ms, &queue_);
    EXPECT_EQ(activated.size(), seen);
}

TEST_F(BackendFixture, CopyAndPasteThroughTheClipboardWithSyntheticKeystrokes) {
    BackgroundChild& editor = startEditor("alpha beta");
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(editor.pid()); }));
    KeyModifiers command;
    command.command = true;

    desktop().pasteboard->clearContents();
    EXPECT_FALSE(desktop().pasteboard->readString());
    ASSERT_EQ(desktop().keyboard->postKeystroke("c", command), std::nullopt);
    ASSERT_TRUE(pumpUntil([&] { return desktop().pasteboard->readString() == "alpha beta"; }));

    BackgroundChild& chat = startChat();
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(chat.pid()); }));
    ASSERT_EQ(runInputaim({"--app", "com.openai.codex"}), 0);
    ASSERT_TRUE(desktop().pasteboard->writeString("日本語 and text"));
    ASSERT_EQ(desktop().keyboard->postKeystroke("v", command), std::nullopt);
    pumpFor(300ms);  // the paste reads the clipboard from this process
    ASSERT_EQ(desktop().keyboard->postKeystroke("\r", {}), std::nullopt);
    ASSERT_TRUE(
        pumpUntil([&] { return readFile(recordFile_).find("and text") != std::string::npos; }));
    EXPECT_EQ(readFile(recordFile_), "{\"images\":[],\"text\":\"日本語 and text\"}\n");
}

TEST_F(BackendFixture, HeldModifiersAreSeenAndReleased) {
    auto* keyboard = dynamic_cast<linux_desktop::XTestKeyboard*>(desktop().keyboard);
    ASSERT_NE(keyboard, nullptr);
    EXPECT_FALSE(desktop().keyboard->heldModifiers().any());
    ASSERT_EQ(keyboard->sendKey(XK_Shift_R, true), std::nullopt);
    ASSERT_EQ(keyboard->sendKey(XK_Control_L, true), std::nullopt);
    KeyModifiers held = desktop().keyboard->heldModifiers();
    EXPECT_TRUE(held.shift);
    EXPECT_TRUE(held.control);
    EXPECT_FALSE(held.option);
    desktop().keyboard->postKeyUp(keycode::kRightShift);
    desktop().keyboard->postKeyUp(keycode::kControl);
    EXPECT_FALSE(desktop().keyboard->heldModifiers().any());
}

TEST_F(BackendFixture, ImagesGoOutAsPngAndNonImagesAreRefused) {
    std::vector<std::uint8_t> notImage{'n', 'o', 'p', 'e'};
    EXPECT_FALSE(desktop().pasteboard->canReadImage(notImage));
    EXPECT_FALSE(desktop().pasteboard->writeImagePNG(notImage));
    EXPECT_TRUE(desktop().screenCapture->mayRecordScreen());
}

}  // namespace
}  // namespace orvex::testing

#include <gmock/gmock.h>

#include "desktop/sim/sim_png.h"
#include "desktop/sim/tests/sim_fixture.h"

namespace orvex {
namespace {

constexpr KeyModifiers kCommand{false, false, false, true};
constexpr KeyModifiers kNone{};

class KeystrokeTest : public SimFixture {
  protected:
    void SetUp() override {
        load(kEditorAndChat);
        d_ = desktop_->desktop();
    }
    Desktop d_;
};

TEST_F(KeystrokeTest, CopyPutsTheSelectionOnThePasteboardAndLeavesTheText) {
    d_.pasteboard->clearContents();
    EXPECT_FALSE(d_.keyboard->postKeystroke("c", kCommand));
    EXPECT_EQ(d_.pasteboard->readString(), "brave");
    EXPECT_EQ(desktop_->elementValue("Editor", "doc"), "Hello brave new world");
}

TEST_F(KeystrokeTest, CutMovesTheSelectionToThePasteboard) {
    d_.keyboard->postKeystroke("x", kCommand);
    EXPECT_EQ(d_.pasteboard->readString(), "brave");
    EXPECT_EQ(desktop_->elementValue("Editor", "doc"), "Hello  new world");
}

using IgnoredCutTest = SimFixture;

TEST_F(IgnoredCutTest, AnAppWithoutCutKeepsItsTextAndTheCopyAfterItWorks) {
    load(R"({
      "frontmost": "Viewer",
      "applications": [{"name": "Viewer", "running": true, "ignoresCut": true, "windows": [
        {"elements": [{"role": "AXTextArea", "id": "t", "value": "keep me", "settable": true,
                       "focused": true, "selection": [0, 4]}]}]}]})");
    desktop_->keystroke("x", kCommand);
    EXPECT_FALSE(desktop_->pasteboardText());
    EXPECT_EQ(desktop_->elementValue("Viewer", "t"), "keep me");
    desktop_->keystroke("c", kCommand);
    EXPECT_EQ(desktop_->pasteboardText(), "keep");
}

TEST_F(KeystrokeTest, CopyWithNothingSelectedLeavesThePasteboardAlone) {
    desktop_->userSelect("Editor", "doc", AXRange{3, 0});
    d_.pasteboard->writeString("old");
    d_.keyboard->postKeystroke("c", kCommand);
    EXPECT_EQ(d_.pasteboard->readString(), "old");
}

TEST_F(KeystrokeTest, SelectAllThenPasteReplacesEverything) {
    d_.keyboard->postKeystroke("a", kCommand);
    EXPECT_EQ(desktop_->elementSelection("Editor", "doc"), (AXRange{0, 21}));
    d_.pasteboard->clearContents();
    d_.pasteboard->writeString("Bonjour");
    d_.keyboard->postKeystroke("v", kCommand);
    EXPECT_EQ(desktop_->elementValue("Editor", "doc"), "Bonjour");
    EXPECT_EQ(desktop_->elementSelection("Editor", "doc"), (AXRange{7, 0}));
}

TEST_F(KeystrokeTest, PasteAndReturnInAChatInputSendsTheMessage) {
    ASSERT_TRUE(desktop_->userActivate("ChatGPT"));
    ASSERT_TRUE(desktop_->userFocus("ChatGPT", "input"));
    d_.pasteboard->clearContents();
    d_.pasteboard->writeString("Summarize:\nbrave");
    d_.keyboard->postKeystroke("v", kCommand);
    EXPECT_EQ(desktop_->elementValue("ChatGPT", "input"), "Summarize:\nbrave");
    EXPECT_TRUE(desktop_->messages().empty());

    d_.keyboard->postKeystroke("\r", kNone);
    ASSERT_EQ(desktop_->messages().size(), 1u);
    EXPECT_EQ(desktop_->messages()[0].text, "Summarize:\nbrave");
    EXPECT_EQ(desktop_->messages()[0].appKey, "com.openai.codex");
    EXPECT_EQ(desktop_->elementValue("ChatGPT", "input"), "");

    // An empty input does not send; Return by key code behaves like the character.
    d_.keyboard->postKeyCode(keycode::kReturn, kNone);
    EXPECT_EQ(desktop_->messages().size(), 1u);
}

TEST_F(KeystrokeTest, PastedImageIsAttachedAndSentWithTheMessage) {
    desktop_->userActivate("ChatGPT");
    desktop_->userFocus("ChatGPT", "input");
    d_.pasteboard->clearContents();
    ASSERT_TRUE(d_.pasteboard->writeImagePNG(encodeSimPng(20, 10)));
    d_.keyboard->postKeystroke("v", kCommand);
    EXPECT_EQ(desktop_->attachedImages("ChatGPT", "input"), 1);
    d_.pasteboard->clearContents();
    d_.pasteboard->writeString("What is this?");
    d_.keyboard->postKeystroke("v", kCommand);
    d_.keyboard->postKeystroke("\r", kNone);
    ASSERT_EQ(desktop_->messages().size(), 1u);
    EXPECT_EQ(desktop_->messages()[0].images, 1);
    EXPECT_EQ(desktop_->messages()[0].text, "What is this?");
    EXPECT_EQ(desktop_->attachedImages("ChatGPT", "input"), 0);
}

TEST_F(KeystrokeTest, ReturnInAPlainTextAreaIsANewline) {
    desktop_->userSelect("Editor", "doc", AXRange{5, 0});
    d_.keyboard->postKeystroke("\r", kNone);
    EXPECT_EQ(desktop_->elementValue("Editor", "doc"), "Hello\n brave new world");
    EXPECT_TRUE(desktop_->messages().empty());
}

TEST_F(KeystrokeTest, NewChatClearsTheConversationAndFocusesTheInput) {
    desktop_->userActivate("ChatGPT");
    desktop_->userFocus("ChatGPT", "input");
    d_.pasteboard->writeString("draft");
    d_.keyboard->postKeystroke("v", kCommand);
    desktop_->userFocus("ChatGPT", "history");
    d_.keyboard->postKeystroke("n", kCommand);
    EXPECT_EQ(desktop_->elementValue("ChatGPT", "input"), "");
    EXPECT_EQ(desktop_->focusedElementId("ChatGPT"), "input");
    EXPECT_EQ(events("newChat").size(), 1u);
}

TEST_F(KeystrokeTest, HeldModifiersChangeTheChordUntilReleasedByKeyUp) {
    desktop_->holdModifiers(KeyModifiers{false, false, true, false});  // Option still down
    EXPECT_EQ(d_.keyboard->heldModifiers(), (KeyModifiers{false, false, true, false}));
    d_.keyboard->postKeystroke("c", kCommand);  // arrives as Option-Command-C: no copy
    EXPECT_FALSE(d_.pasteboard->readString());
    EXPECT_EQ(events("keystroke").back().at("modifiers"), (Json{"command", "option"}));

    d_.keyboard->postKeyUp(keycode::kOption);
    d_.keyboard->postKeyUp(keycode::kRightOption);
    EXPECT_FALSE(d_.keyboard->heldModifiers().any());
    d_.keyboard->postKeystroke("c", kCommand);
    EXPECT_EQ(d_.pasteboard->readString(), "brave");

    auto keyUps = events("keyUp");
    ASSERT_EQ(keyUps.size(), 2u);
    EXPECT_EQ(keyUps[0].at("keyCode"), 58);
    EXPECT_EQ(keyUps[0].at("released"), true);
    EXPECT_EQ(keyUps[1].at("released"), false);  // the right key was never down
}

TEST_F(KeystrokeTest, KeystrokesGoToTheFrontmostApplicationOnly) {
    desktop_->userActivate("ChatGPT");  // no focused element in its window
    d_.keyboard->postKeystroke("c", kCommand);
    EXPECT_FALSE(d_.pasteboard->readString());
    EXPECT_EQ(events("keystroke").back().at("app"), "com.openai.codex");
    EXPECT_EQ(events("keystroke").back().at("effect"), "none");
}

TEST_F(KeystrokeTest, TypingInsertsAtTheSelection) {
    d_.keyboard->postKeystroke("timid", kNone);
    EXPECT_EQ(desktop_->elementValue("Editor", "doc"), "Hello timid new world");
}

TEST_F(KeystrokeTest, WithoutAccessibilityKeystrokesAreRefusedWithAnError) {
    desktop_->setPermission(SimPermission::accessibility, SimPermissionState::denied);
    auto error = d_.keyboard->postKeystroke("c", kCommand);
    ASSERT_TRUE(error);
    EXPECT_THAT(*error, ::testing::HasSubstr("not allowed to send keystrokes"));
    EXPECT_FALSE(d_.pasteboard->readString());
    EXPECT_EQ(events("keystrokeRefused").size(), 1u);
    EXPECT_TRUE(events("keystroke").empty());
}

TEST_F(KeystrokeTest, TerminalTakesEachReturnEndedLine) {
    load(R"({"applications": [{"bundleId": "com.apple.Terminal", "name": "Terminal",
             "kind": "terminal", "running": true, "windows": [{}]}]})");
    desktop_->userActivate("Terminal");
    d_.pasteboard->clearContents();
    d_.pasteboard->writeString("/tmp/shot.png\nexplain");
    d_.keyboard->postKeystroke("v", kCommand);
    d_.keyboard->postKeystroke("\r", kNone);
    ASSERT_EQ(desktop_->messages().size(), 1u);
    EXPECT_EQ(desktop_->messages()[0].appKey, "com.apple.Terminal");
    EXPECT_EQ(desktop_->messages()[0].text, "/tmp/shot.png\nexplain");
}

}  // namespace
}  // namespace orvex

#include <gmock/gmock.h>

#include "desktop/sim/tests/sim_fixture.h"

namespace orvex {
namespace {

constexpr KeyModifiers kCommand{false, false, false, true};
constexpr KeyModifiers kNone{};

class KeystrokeTest : public SimFixture {
  protected:
    void SetUp() override { load(kEditorAndChat); }
};

TEST_F(KeystrokeTest, SelectAllThenPasteReplacesEverything) {
    d_.keyboard->postKeystroke("a", kCommand);
    EXPECT_EQ(desktop_->elementSelection("Editor", "doc"), (AXRange{0, 21}));
    d_.pasteboard->clearContents();
    d_.pasteboard->writeString("Bonjour");
    d_.keyboard->postKeystroke("v", kCommand);
    EXPECT_EQ(desktop_->elementValue("Editor", "doc"), "Bonjour");
    EXPECT_EQ(desktop_->elementSelection("Editor", "doc"), (AXRange{7, 0}));
}

TEST_F(KeystrokeTest, ReturnInAPlainTextAreaIsANewline) {
    desktop_->userSelect("Editor", "doc", AXRange{5, 0});
    d_.keyboard->postKeystroke("\r", kNone);
    EXPECT_EQ(desktop_->elementValue("Editor", "doc"), "Hello\n brave new world");
    EXPECT_TRUE(desktop_->messages().empty());
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

TEST_F(KeystrokeTest, TypingInsertsAtTheSelection) {
    d_.keyboard->postKeystroke("timid", kNone);
    EXPECT_EQ(desktop_->elementValue("Editor", "doc"), "Hello timid new world");
}

}  // namespace
}  // namespace orvex

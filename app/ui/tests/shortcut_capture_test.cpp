#include "app/ui/shortcut_capture.h"

#include <gtest/gtest.h>

#include "base/log.h"
#include "base/manual_main_queue.h"

namespace orvex {
namespace {

constexpr std::uint32_t kKeypad2 = 0xffb2;
constexpr std::uint32_t kShiftL = 0xffe1;

class ShortcutCaptureTest : public ::testing::Test {
  protected:
    ShortcutCaptureTest() { makeCapture(std::nullopt); }
    void makeCapture(std::optional<std::string> presetId) {
        capture = std::make_unique<ShortcutCapture>(
            queue, ShortcutCapture::Hooks{[this](const std::string& s) { editorValue = s; },
                                          [this](const std::string& id, const std::string& s) {
                                              saved.push_back(id + "=" + s);
                                          },
                                          [](const std::string& s) { return "<" + s + ">"; },
                                          [] { return std::string("unsupported"); },
                                          {}});
        capture->setPresetId(std::move(presetId));
        capture->setShortcut("Alt+D");
    }
    static CaptureKeyPress key(std::uint32_t keysym, bool control = false, bool alt = false,
                               bool shift = false) {
        return {keysym, false, false, control, alt, shift, false};
    }

    VirtualClock clock;
    ManualMainQueue queue{clock};
    std::unique_ptr<ShortcutCapture> capture;
    std::string editorValue = "Alt+D";
    std::vector<std::string> saved;
};

TEST_F(ShortcutCaptureTest, KeyPressesBecomeCanonicalShortcutsOrNothingOrTheWarning) {
    CaptureKeyPress shiftAlone = key(kShiftL, false, false, true);
    shiftAlone.modifierKey = true;
    CaptureKeyPress keypadDigit = key(kKeypad2, true);
    keypadDigit.keypad = true;
    CaptureKeyPress withSuper = key('a', true);
    withSuper.super = true;
    const struct {
        const char* name;
        CaptureKeyPress press;
        const char* value;
        bool warning;
    } cases[] = {
        {"ctrl shift 2", key('2', true, false, true), "CommandOrControl+Shift+2", false},
        {"modifier order", key('A', true, true, true), "CommandOrControl+Alt+Shift+A", false},
        {"alt return", key(0xff0d, false, true), "Alt+Return", false},
        {"shift alone", shiftAlone, "Alt+D", false},
        {"bare letter", key('a'), "Alt+D", false},
        {"super held", withSuper, "Alt+D", false},
        {"keypad digit", keypadDigit, "Alt+D", true},
        {"keypad digit alone", key(kKeypad2), "Alt+D", true},
        {"F13 cannot be registered", key(0xffca, true), "Alt+D", true},
    };
    for (const auto& c : cases) {
        makeCapture(std::nullopt);
        editorValue = "Alt+D";
        capture->keyDown(c.press);
        EXPECT_EQ(editorValue, c.value) << c.name;
        EXPECT_EQ(capture->warning(), c.warning) << c.name;
        EXPECT_EQ(capture->shownText(), c.warning ? "unsupported" : "<" + editorValue + ">")
            << c.name;
    }
    EXPECT_TRUE(saved.empty());
}

TEST_F(ShortcutCaptureTest, TheWarningEndsAfterTwoSecondsOnTheNextKeyOrOnFocusLoss) {
    CaptureKeyPress keypad = key(kKeypad2, true);
    keypad.keypad = true;
    const std::function<void()> endings[] = {
        [&] {
            queue.advance(std::chrono::milliseconds(1999));
            EXPECT_TRUE(capture->warning());
            queue.advance(std::chrono::milliseconds(1));
        },
        [&] { capture->keyDown(key('a')); },
        [&] { capture->focusLost(); },
    };
    for (const auto& end : endings) {
        capture->keyDown(keypad);
        ASSERT_TRUE(capture->warning());
        // The editor's value changes underneath; the warning stays on screen.
        capture->setShortcut("Alt+E");
        EXPECT_EQ(capture->shownText(), "unsupported");
        end();
        EXPECT_FALSE(capture->warning());
        EXPECT_EQ(capture->shownText(), "<Alt+E>");
        capture->setShortcut("Alt+D");
    }
    EXPECT_EQ(queue.pendingTimerCount(), 0u);
}

TEST_F(ShortcutCaptureTest, AnExistingPresetIsSavedAtOnceAndEveryCaptureIsLogged) {
    ScopedLogCapture logs;
    capture->keyDown(key('1', true));
    makeCapture("p7");
    capture->keyDown(key('2', true));
    EXPECT_EQ(saved, std::vector<std::string>{"p7=CommandOrControl+2"});
    EXPECT_EQ(logs.system().lines(),
              (std::vector<std::string>{
                  "[ShortcutCapture] keyDown: shortcut=CommandOrControl+1, presetId=nil",
                  "[ShortcutCapture] keyDown: shortcut=CommandOrControl+2, presetId=p7"}));
}

}  // namespace
}  // namespace orvex

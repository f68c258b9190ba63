#pragma once

#include <functional>
#include <optional>
#include <string>

#include "base/clock.h"
#include "desktop/keyboard.h"
#include "desktop/linux/x11/application_key_rules.h"
#include "desktop/linux/x11/x11_display.h"

namespace orvex::linux_desktop {

// Who receives keystrokes now: the application owning the active window.
struct KeyboardTarget {
    std::optional<WindowClass> windowClass;
    std::string executable;
};

// Synthetic keyboard input through the XTest extension. Keysyms are looked up on the
// keyboard layout in force at the moment of sending (never assuming US positions). The
// primary modifier of the scripts ("command down") is Control. Chords are adapted to the
// receiving application by its key rules (a terminal pastes with Control+Shift+V, xterm with
// Shift+Insert). Every key pressed is released again before a call returns.
class XTestKeyboard : public Keyboard {
  public:
    using TargetLookup = std::function<KeyboardTarget()>;
    // Puts the clipboard's text in the primary selection, for a paste that reads it there.
    using PrimaryOffer = std::function<void()>;

    // Gives nothing, with `problem` set, when the server lacks XTest.
    static std::unique_ptr<XTestKeyboard> create(std::unique_ptr<X11Display> display, Clock& clock,
                                                 TargetLookup target, PrimaryOffer offerPrimary,
                                                 std::string* problem);

    KeyModifiers heldModifiers() override;
    void postKeyUp(std::uint16_t keyCode) override;
    std::optional<std::string> postKeystroke(const std::string& characters,
                                             KeyModifiers modifiers) override;
    std::optional<std::string> postKeyCode(std::uint16_t keyCode, KeyModifiers modifiers) override;

    // Sends one chord as it is (no rewriting); an error message when a key is missing
    // from the current layout.
    std::optional<std::string> sendChord(const KeyChord& chord);
    // Presses or releases one key by keysym (tests hold a modifier with this).
    std::optional<std::string> sendKey(std::uint32_t keysym, bool press);

  private:
    XTestKeyboard(std::unique_ptr<X11Display> display, Clock& clock, TargetLookup target,
                  PrimaryOffer offerPrimary);
    std::optional<std::string> sendAdapted(KeyChord chord);

    std::unique_ptr<X11Display> display_;
    Clock& clock_;
    TargetLookup target_;
    PrimaryOffer offerPrimary_;
    std::string defaultTerminal_;
};

// The chord for one key with the scripts' modifiers: Command and Control both press
// Control, Option presses Alt.
KeyChord chordFor(std::uint32_t keysym, KeyModifiers modifiers);

}  // namespace orvex::linux_desktop

#pragma once

#include "desktop/keyboard.h"

namespace orvex {

class SimDesktop;

// Synthetic keyboard input into the frontmost application of the model. Keystrokes need
// the accessibility permission, as synthetic input does on a real desktop.
class SimKeyboard final : public Keyboard {
  public:
    explicit SimKeyboard(SimDesktop& desktop) : desktop_(desktop) {}

    KeyModifiers heldModifiers() override;
    // Releases the key if it is held (a stuck modifier), journaling the event either way.
    void postKeyUp(std::uint16_t keyCode) override;
    std::optional<std::string> postKeystroke(const std::string& characters,
                                             KeyModifiers modifiers) override;
    std::optional<std::string> postKeyCode(std::uint16_t keyCode, KeyModifiers modifiers) override;

  private:
    SimDesktop& desktop_;
};

}  // namespace orvex

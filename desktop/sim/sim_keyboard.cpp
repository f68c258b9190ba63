#include "desktop/sim/sim_keyboard.h"

#include "desktop/sim/sim_desktop.h"
#include "desktop/sim/sim_state.h"

namespace orvex {

KeyModifiers SimKeyboard::heldModifiers() {
    std::lock_guard lock(desktop_.mutex_);
    return desktop_.state_->heldModifiers();
}

void SimKeyboard::postKeyUp(std::uint16_t keyCode) {
    std::lock_guard lock(desktop_.mutex_);
    desktop_.state_->keyUp(keyCode);
}

std::optional<std::string> SimKeyboard::postKeystroke(const std::string& characters,
                                                      KeyModifiers modifiers) {
    std::lock_guard lock(desktop_.mutex_);
    return desktop_.state_->typeCharacters(characters, modifiers);
}

std::optional<std::string> SimKeyboard::postKeyCode(std::uint16_t keyCode, KeyModifiers modifiers) {
    std::lock_guard lock(desktop_.mutex_);
    return desktop_.state_->typeKeyCode(keyCode, modifiers);
}

}  // namespace orvex

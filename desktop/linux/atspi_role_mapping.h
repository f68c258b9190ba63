#pragma once

#include <cstdint>
#include <string>

namespace orvex::linux_desktop {

// One bit per AT-SPI state (AtspiStateType), as GetState answers them.
inline bool hasState(std::uint64_t states, int state) {
    return state >= 0 && state < 64 && ((states >> state) & 1u);
}

// Whether the element takes text input: text, entry and password roles, and anything
// else that is editable and says whether it holds one line or several (a contenteditable
// chat box is a "section").
bool isTextInput(std::uint32_t role, std::uint64_t states);

// The AX role name for an AT-SPI role and state set. Multi-line text inputs (read-only
// ones included) are "AXTextArea", other text inputs "AXTextField"; list-like containers
// get the roles whose children the input search does not walk.
std::string axRoleFor(std::uint32_t role, std::uint64_t states);

}  // namespace orvex::linux_desktop

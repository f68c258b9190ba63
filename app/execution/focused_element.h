#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "desktop/accessibility.h"

namespace orvex {

// The answer to "is the application's focused element something other than a text input?":
// `no` means the user can type where the focus is; `undetermined` that accessibility could
// not tell (no focused element, no role, or the application does not answer).
enum class FocusAnswer { yes, no, undetermined };

// Looks at the focused element of the process: text fields, text areas and combo boxes are
// text inputs, and so is anything whose value can be written.
FocusAnswer focusedElementIsNotTextInput(Accessibility& accessibility, std::int32_t pid);

// The role of the process's focused element ("AXTextArea", ...); none when accessibility
// cannot tell.
std::optional<std::string> focusedElementRole(Accessibility& accessibility, std::int32_t pid);

}  // namespace orvex

#pragma once

#include <optional>
#include <string>

#include "desktop/keyboard.h"
#include "desktop/script/script_value.h"

namespace orvex::script {

// The error number scripts see when synthetic keystrokes are refused.
inline constexpr int kKeystrokesRefused = 1002;

// The modifiers of `keystroke …` / `key code …` from their "using" parameter: one constant
// or a list of "command down", "shift down", "option down", "control down". Anything else
// is a ScriptError, as the platform would say it.
KeyModifiers keystrokeModifiers(const Record& labelled);

// Throws the keyboard's refusal (when there is one) as the scripts' error.
void throwIfKeystrokesRefused(const std::optional<std::string>& error);

// System Events' `keystroke TEXT` and `key code N` (or a list of codes), with their
// "using" modifiers, sent to `keyboard`; nothing when `command` is neither.
std::optional<Value> performKeystrokeCommand(Keyboard& keyboard, const std::string& command,
                                             const Value& direct, const Record& labelled);

}  // namespace orvex::script

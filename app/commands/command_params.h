#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app/store/preset_model.h"

namespace orvex {

using CommandParams = std::map<std::string, std::string>;

// The value of a parameter, or null when its key is absent. A key that is present counts
// as supplied whatever its value, the empty string included.
const std::string* findParam(const CommandParams& params, std::string_view key);

// Only the exact text "true" is true; "TRUE", "1", "yes" and "" are false.
bool booleanParam(const std::string& value);

// One string split at every ","; empty pieces are dropped, the others are kept exactly
// (a space after a comma stays the first character of the next piece).
std::vector<std::string> listParam(const std::string& value);

// Overwrites the preset fields whose keys are given. Nothing is validated; `type`, `id`
// and `mode` cannot be set, and a given `folderId` (even "") is stored as present.
void applyParams(PresetData& preset, const CommandParams& params);

// A label that is empty once spaces and tabs are trimmed becomes `newPresetLabel`; any
// other label is kept exactly, untrimmed.
void applyLabelRule(PresetData& preset, const std::string& newPresetLabel);

}  // namespace orvex

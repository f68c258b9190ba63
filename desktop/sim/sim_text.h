#pragma once

// Text positions in the model are counted in characters (Unicode code points), the unit
// the accessibility ranges and the reports use; strings are stored as UTF-8.

#include <cstdint>
#include <string>
#include <string_view>

#include "desktop/accessibility.h"

namespace orvex::simtext {

// Number of characters; invalid bytes count one each.
std::int64_t length(std::string_view text);
// The characters [location, location + count), clamped to the text.
std::string substring(std::string_view text, std::int64_t location, std::int64_t count);
// The range clamped so that it lies inside a text of `length` characters.
AXRange clamp(AXRange range, std::int64_t length);
// Replaces the characters of `range` with `insert`; returns the new text.
std::string replace(std::string_view text, AXRange range, std::string_view insert);

}  // namespace orvex::simtext

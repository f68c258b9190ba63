#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "tools/inputaim/input_search.h"

namespace orvex::inputaim {

// Coordinates as report integers: truncated toward zero; NaN prints as 0 and anything
// beyond the 64-bit range (infinities included) as the nearest end of that range, so a
// broken frame from another application still gives a readable, parseable line.
std::int64_t reportInteger(double value);

// The lines of report mode, each with its line feed.
std::string reportHeader(const std::optional<std::string>& appName, const Rect& window,
                         int visited);
std::string reportCounts(std::size_t found, std::size_t visible, const std::string& hint);
std::string reportCandidate(const Candidate& candidate, bool chosen, bool visible);

}  // namespace orvex::inputaim

#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "app/i18n/locale_table.h"

namespace orvex {

// The status line entry a failed action is reported with: a status key and its parameters.
struct FailureStatus {
    std::string key;
    TextParams params;

    bool operator==(const FailureStatus&) const = default;
};

// Picks the status key for a failure from its description. The phrases are tested in a
// fixed order, as plain case-sensitive substrings, and the first match wins; a description
// that matches none is shown (its first 50 characters) under "status.unknownError".
FailureStatus classifyFailureDescription(std::string_view description);

// How many characters of a description the unknown-error status shows.
inline constexpr std::size_t kUnknownErrorLength = 50;

}  // namespace orvex

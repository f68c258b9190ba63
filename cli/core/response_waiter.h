#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

#include "base/clock.h"

namespace orvex {

inline constexpr std::chrono::milliseconds kResponseTimeout{10000};
inline constexpr std::chrono::milliseconds kResponsePollInterval{100};
// The app writes atomically, but a short pause before reading costs little and spares a
// reader on an unusual file system from catching the rename half-way.
inline constexpr std::chrono::milliseconds kResponseSettleDelay{50};

// Polls for `responseFile` every 0.1 s, for up to `timeout` from the call, waiting through
// `clock`. Returns the file's whole content once it exists and can be read; a file that
// exists but cannot be read is retried at the next poll. nullopt when the time is up.
std::optional<std::string> waitForResponse(const std::filesystem::path& responseFile, Clock& clock,
                                           std::chrono::milliseconds timeout = kResponseTimeout);

}  // namespace orvex

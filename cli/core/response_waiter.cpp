#include "cli/core/response_waiter.h"

#include <system_error>

#include "base/atomic_file.h"

namespace orvex {

std::optional<std::string> waitForResponse(const std::filesystem::path& responseFile, Clock& clock,
                                           std::chrono::milliseconds timeout) {
    const Clock::TimePoint start = clock.now();
    for (;;) {
        std::error_code ignored;
        if (std::filesystem::exists(responseFile, ignored)) {
            clock.sleepFor(kResponseSettleDelay);
            if (auto content = readWholeFile(responseFile, nullptr)) {
                return content;
            }
        }
        clock.sleepFor(kResponsePollInterval);
        if (clock.now() - start >= timeout) {
            return std::nullopt;
        }
    }
}

}  // namespace orvex

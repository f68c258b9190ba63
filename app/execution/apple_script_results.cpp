#include "app/execution/apple_script_results.h"

#include <charconv>
#include <cstdint>

#include "base/unicode/unicode_text.h"

namespace orvex {

namespace {

std::string lowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

}  // namespace

std::string trimScriptResult(std::string_view result) {
    return std::string(trimUnicodeSpace(result));
}

bool scriptResultIsTrue(std::string_view result) {
    return trimScriptResult(result) == "true";
}

bool scriptResultCountsWindow(std::string_view result) {
    std::string trimmed = trimScriptResult(result);
    const char* begin = trimmed.data();
    const char* end = begin + trimmed.size();
    if (begin != end && *begin == '+') {
        ++begin;
        if (begin != end && *begin == '-') {
            return false;
        }
    }
    std::int64_t count = 0;
    auto [ptr, ec] = std::from_chars(begin, end, count);
    if (begin == end || ec != std::errc() || ptr != end) {
        return false;
    }
    return count >= 1;
}

bool isAutomationDenial(std::string_view description) {
    // The phrases are matched ignoring case: the platform starts its sentence with a
    // capital ("Not authorized to send Apple events to ...").
    std::string lowered = lowerAscii(description);
    return lowered.find("-1743") != std::string::npos ||
           lowered.find("not allowed to send apple events") != std::string::npos ||
           lowered.find("not authorized to send") != std::string::npos;
}

}  // namespace orvex

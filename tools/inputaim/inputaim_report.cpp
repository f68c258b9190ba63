#include "tools/inputaim/inputaim_report.h"

#include <cmath>
#include <limits>

namespace orvex::inputaim {

std::int64_t reportInteger(double value) {
    if (std::isnan(value))
        return 0;
    // 2^63 is exactly representable; every double below it converts without overflow.
    constexpr double limit = 9223372036854775808.0;
    if (value >= limit)
        return std::numeric_limits<std::int64_t>::max();
    if (value <= -limit)
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(value);  // truncates toward zero
}

namespace {
std::string number(double value) {
    return std::to_string(reportInteger(value));
}
}  // namespace

std::string reportHeader(const std::optional<std::string>& appName, const Rect& window,
                         int visited) {
    return "app=" + appName.value_or("?") + " window=(x=" + number(window.minX()) +
           " y=" + number(window.minY()) + " w=" + number(window.width) +
           " h=" + number(window.height) + ") visited=" + std::to_string(visited) + "\n";
}

std::string reportCounts(std::size_t found, std::size_t visible, const std::string& hint) {
    return "found=" + std::to_string(found) + " visible=" + std::to_string(visible) + " hint=\"" +
           hint + "\"\n";
}

std::string reportCandidate(const Candidate& candidate, bool chosen, bool visible) {
    std::string line = chosen ? "→ 選ばれる " : "           ";
    line += "[";
    line += visible ? "見えている" : "画面の外";
    line += "] y=" + number(candidate.frame.minY()) + "〜" + number(candidate.frame.maxY()) +
            " w=" + number(candidate.frame.width) +
            " 書き込み可=" + (candidate.settable ? "true" : "false") + " 名前=\"" + candidate.name +
            "\"\n";
    return line;
}

}  // namespace orvex::inputaim

#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orvex {

class LocalizationManager;

enum class StatusClass { error, success, neutral };

// sRGB components and opacity, each from 0 to 1.
struct Rgba {
    double red = 0;
    double green = 0;
    double blue = 0;
    double opacity = 1;

    bool operator==(const Rgba&) const = default;
};

struct StatusStyle {
    StatusClass statusClass = StatusClass::neutral;
    Rgba text;
    Rgba fill;
    Rgba border;

    bool operator==(const StatusStyle&) const = default;
};

// "a, b ,c," → {"a", "b", "c"}: split at commas, spaces and tabs trimmed from each item,
// empty items dropped. Line breaks are kept, they are part of a keyword.
std::vector<std::string> parseKeywordList(std::string_view text);

// The error flag wins; then any error keyword found in the message; then any success
// keyword. Matching is a case-sensitive substring search.
StatusClass classifyStatus(std::string_view message, bool isError,
                           const std::vector<std::string>& errorKeywords,
                           const std::vector<std::string>& successKeywords);

// The colours the status box draws a class with.
StatusStyle styleForClass(StatusClass statusClass);

// The class and colours of a status line, given the comma-separated keyword lists.
StatusStyle statusStyle(std::string_view message, bool isError, std::string_view errorKeywordsText,
                        std::string_view successKeywordsText);
// The same with the keyword lists of the manager's current language.
StatusStyle statusStyle(std::string_view message, bool isError,
                        const LocalizationManager& localization);

}  // namespace orvex

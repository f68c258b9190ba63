#include "app/i18n/status_style.h"

#include "app/i18n/localization_manager.h"

namespace orvex {

namespace {

bool containsAny(std::string_view message, const std::vector<std::string>& keywords) {
    for (const auto& keyword : keywords) {
        if (!keyword.empty() && message.find(keyword) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

constexpr double channel(int value) {
    return value / 255.0;
}

}  // namespace

std::vector<std::string> parseKeywordList(std::string_view text) {
    std::vector<std::string> keywords;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t comma = text.find(',', start);
        if (comma == std::string_view::npos) {
            comma = text.size();
        }
        std::string_view item = text.substr(start, comma - start);
        const std::size_t first = item.find_first_not_of(" \t");
        if (first != std::string_view::npos) {
            item = item.substr(first, item.find_last_not_of(" \t") - first + 1);
            keywords.emplace_back(item);
        }
        start = comma + 1;
    }
    return keywords;
}

StatusClass classifyStatus(std::string_view message, bool isError,
                           const std::vector<std::string>& errorKeywords,
                           const std::vector<std::string>& successKeywords) {
    if (isError || containsAny(message, errorKeywords)) {
        return StatusClass::error;
    }
    if (containsAny(message, successKeywords)) {
        return StatusClass::success;
    }
    return StatusClass::neutral;
}

StatusStyle styleForClass(StatusClass statusClass) {
    constexpr Rgba black{0, 0, 0, 1};
    switch (statusClass) {
        case StatusClass::error:
            return {statusClass,
                    black,
                    {1, channel(107), channel(107), 0.1},
                    {1, channel(107), channel(107), 0.3}};
        case StatusClass::success:
            return {statusClass,
                    black,
                    {channel(107), 1, channel(140), 0.1},
                    {channel(107), 1, channel(140), 0.3}};
        case StatusClass::neutral:
            break;
    }
    return {StatusClass::neutral,
            {1, 1, 1, 1},
            {channel(10), channel(26), channel(22), 0.92},
            {1, 1, 1, 0.1}};
}

StatusStyle statusStyle(std::string_view message, bool isError, std::string_view errorKeywordsText,
                        std::string_view successKeywordsText) {
    return styleForClass(classifyStatus(message, isError, parseKeywordList(errorKeywordsText),
                                        parseKeywordList(successKeywordsText)));
}

StatusStyle statusStyle(std::string_view message, bool isError,
                        const LocalizationManager& localization) {
    // One table for both lists, so a language switch in between cannot mix them.
    const auto table = localization.table();
    return statusStyle(message, isError, table->text("statusClassification.errorKeywords"),
                       table->text("statusClassification.successKeywords"));
}

}  // namespace orvex

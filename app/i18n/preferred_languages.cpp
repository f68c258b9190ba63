#include "app/i18n/preferred_languages.h"

#include <algorithm>
#include <cstdlib>

namespace orvex {

std::optional<std::string> languageTagFromLocale(std::string_view locale) {
    // language[_territory][.codeset][@modifier]: only language and territory name a language.
    const std::size_t end = locale.find_first_of(".@");
    std::string tag(locale.substr(0, end));
    if (tag.empty() || tag == "C" || tag == "POSIX") {
        return std::nullopt;
    }
    std::replace(tag.begin(), tag.end(), '_', '-');
    return tag;
}

std::vector<std::string> preferredLanguages(const EnvironmentLookup& environment) {
    std::vector<std::string> languages;
    const auto add = [&](std::string_view locale) {
        auto tag = languageTagFromLocale(locale);
        if (tag && std::find(languages.begin(), languages.end(), *tag) == languages.end()) {
            languages.push_back(std::move(*tag));
        }
    };

    if (const auto list = environment("LANGUAGE")) {
        std::string_view rest = *list;
        while (true) {
            const std::size_t colon = rest.find(':');
            add(rest.substr(0, colon));
            if (colon == std::string_view::npos) {
                break;
            }
            rest.remove_prefix(colon + 1);
        }
    }
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (const auto value = environment(name)) {
            add(*value);
        }
    }
    return languages;
}

std::vector<std::string> systemPreferredLanguages() {
    return preferredLanguages([](const std::string& name) -> std::optional<std::string> {
        const char* value = std::getenv(name.c_str());
        if (value == nullptr) {
            return std::nullopt;
        }
        return std::string(value);
    });
}

}  // namespace orvex

#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvex {

// Reads one environment variable; nullopt when it is not set.
using EnvironmentLookup = std::function<std::optional<std::string>(const std::string& name)>;

// The user's preferred languages, most preferred first, as language tags ("ja-JP", "en").
// Taken from LANGUAGE (a colon-separated list), then LC_ALL, LC_MESSAGES and LANG.
// Empty values and the C and POSIX locales say nothing about a language and are skipped;
// repeats are dropped.
std::vector<std::string> preferredLanguages(const EnvironmentLookup& environment);

// The same, read from this process's environment.
std::vector<std::string> systemPreferredLanguages();

// "ja_JP.UTF-8" → "ja-JP", "en_US@euro" → "en-US"; nullopt for "", "C", "C.UTF-8", "POSIX".
std::optional<std::string> languageTagFromLocale(std::string_view locale);

}  // namespace orvex

#include "app/i18n/preferred_languages.h"

#include <gtest/gtest.h>

#include <map>

namespace orvex {
namespace {

using Languages = std::vector<std::string>;

TEST(PreferredLanguagesTest, ConvertsLocaleNamesToLanguageTags) {
    const std::vector<std::pair<std::string, std::optional<std::string>>> cases{
        {"ja_JP.UTF-8", "ja-JP"},
        {"en_US@euro", "en-US"},
        {"de_DE.ISO-8859-1@euro", "de-DE"},
        {"fr", "fr"},
        {"", std::nullopt},
        {"C", std::nullopt},
        {"POSIX", std::nullopt},
        {"C.UTF-8", std::nullopt},
        {".UTF-8", std::nullopt},
    };
    for (const auto& [locale, tag] : cases) {
        EXPECT_EQ(languageTagFromLocale(locale), tag) << locale;
    }
}

TEST(PreferredLanguagesTest, ReadsLanguageListThenLocaleVariablesSkippingNeutralOnes) {
    const std::vector<std::pair<std::map<std::string, std::string>, Languages>> cases{
        {{{"LANGUAGE", "ja:en_GB::C"},
          {"LC_ALL", "fr_FR.UTF-8"},
          {"LC_MESSAGES", "de_DE.UTF-8"},
          {"LANG", "en_GB.UTF-8"}},
         {"ja", "en-GB", "fr-FR", "de-DE"}},
        {{}, {}},
        {{{"LANGUAGE", ""}, {"LC_ALL", "C"}, {"LC_MESSAGES", "POSIX"}, {"LANG", "C.UTF-8"}}, {}},
        {{{"LC_ALL", ""}, {"LANG", "ja_JP.UTF-8"}}, {"ja-JP"}},
    };
    for (const auto& [values, expected] : cases) {
        EXPECT_EQ(preferredLanguages([&](const std::string& name) -> std::optional<std::string> {
                      const auto found = values.find(name);
                      return found == values.end() ? std::nullopt
                                                   : std::optional<std::string>(found->second);
                  }),
                  expected);
    }
}

}  // namespace
}  // namespace orvex

#include "app/i18n/preferred_languages.h"

#include <gtest/gtest.h>

#include <map>

namespace orvex {
namespace {

EnvironmentLookup fakeEnvironment(std::map<std::string, std::string> values) {
    return [values = std::move(values)](const std::string& name) -> std::optional<std::string> {
        const auto found = values.find(name);
        if (found == values.end()) {
            return std::nullopt;
        }
        return found->second;
    };
}

using Languages = std::vector<std::string>;

TEST(PreferredLanguagesTest, ConvertsLocaleNamesToLanguageTags) {
    EXPECT_EQ(languageTagFromLocale("ja_JP.UTF-8"), "ja-JP");
    EXPECT_EQ(languageTagFromLocale("en_US@euro"), "en-US");
    EXPECT_EQ(languageTagFromLocale("de_DE.ISO-8859-1@euro"), "de-DE");
    EXPECT_EQ(languageTagFromLocale("fr"), "fr");
    for (const char* none : {"", "C", "POSIX", "C.UTF-8", ".UTF-8"}) {
        EXPECT_EQ(languageTagFromLocale(none), std::nullopt) << none;
    }
}

TEST(PreferredLanguagesTest, ReadsLanguageListBeforeTheLocaleVariables) {
    const auto languages = preferredLanguages(fakeEnvironment({{"LANGUAGE", "ja:en_GB::C"},
                                                               {"LC_ALL", "fr_FR.UTF-8"},
                                                               {"LC_MESSAGES", "de_DE.UTF-8"},
                                                               {"LANG", "en_GB.UTF-8"}}));
    EXPECT_EQ(languages, (Languages{"ja", "en-GB", "fr-FR", "de-DE"}));
}

TEST(PreferredLanguagesTest, SkipsUnsetEmptyAndNeutralLocales) {
    EXPECT_EQ(preferredLanguages(fakeEnvironment({})), Languages{});
    EXPECT_EQ(
        preferredLanguages(fakeEnvironment(
            {{"LANGUAGE", ""}, {"LC_ALL", "C"}, {"LC_MESSAGES", "POSIX"}, {"LANG", "C.UTF-8"}})),
        Languages{});
    EXPECT_EQ(preferredLanguages(fakeEnvironment({{"LC_ALL", ""}, {"LANG", "ja_JP.UTF-8"}})),
              Languages{"ja-JP"});
}

}  // namespace
}  // namespace orvex

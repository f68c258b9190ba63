#include "base/unicode/unicode_text.h"

#include <gtest/gtest.h>

namespace orvex {
namespace {

TEST(UnicodeText, FirstGraphemesNeverCutsACharacterApart) {
    const std::string combining = "e\xCC\x81";              // e + combining acute
    const std::string voiced = "\xE3\x81\x8B\xE3\x82\x99";  // か + combining voiced mark
    const std::string family = "👩\u200D👩\u200D👧";           // joined by zero-width joiners
    const std::string japan = "🇯🇵";                         // two regional indicators
    const std::string devanagari = "\xE0\xA4\x95\xE0\xA5\x8D\xE0\xA4\xB7";  // क्ष: a conjunct
    struct Case {
        std::string text;
        std::size_t count;
        std::string expected;
    };
    const Case cases[] = {
        {combining + "x", 1, combining},
        {voiced + voiced + "x", 2, voiced + voiced},
        {family + "ab", 2, family + "a"},
        {japan + "🇺🇸", 1, japan},
        {"ab" + japan + japan, 3, "ab" + japan},
        {devanagari + "x", 1, devanagari},
        {"\r\nx", 1, "\r\n"},
        {"abc", 10, "abc"},
        {"abc", 0, ""},
        {"a\x80z", 2, "a\uFFFD"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(firstGraphemes(c.text, c.count), c.expected) << c.text << " " << c.count;
    }
}

TEST(UnicodeText, TrimsUnicodeWhiteSpaceAndKeepsTheMiddleByteForByte) {
    struct Case {
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"\u3000\u3000", ""},    // ideographic spaces
        {"\u00A0 \t\n", ""},     // no-break space among ASCII ones
        {"\u2003x\u2028", "x"},  // em space, line separator
        {" \u3000語 \u00A0 語\u3000", "語 \u00A0 語"},
        {"a\x80 b\xE3 ", "a\x80 b\xE3"},  // invalid bytes stay as they were
        {"\u200Bx", "\u200Bx"},           // zero-width space is a format char
    };
    for (const Case& c : cases) {
        EXPECT_EQ(trimUnicodeSpace(c.text), c.expected) << c.text;
        EXPECT_EQ(isUnicodeBlank(c.text), c.expected.empty()) << c.text;
    }
}

TEST(UnicodeText, UpperCaseFollowsUnicodeRules) {
    EXPECT_EQ(toUpperUnicode("ß"), "SS");
    EXPECT_EQ(toUpperUnicode("ё"), "Ё");
}

}  // namespace
}  // namespace orvex

#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orvex {

// Removes Unicode white space (every space separator such as U+3000 and U+00A0, tabs,
// line breaks, U+0085) from both ends; the bytes in between are returned untouched.
std::string_view trimUnicodeSpace(std::string_view text);

// Whether the text is empty or Unicode white space only.
bool isUnicodeBlank(std::string_view text);

// The first `count` user-perceived characters (extended grapheme clusters: a flag, an
// emoji sequence, a letter with its marks) of UTF-8 text. Bytes that are not UTF-8 read
// as U+FFFD.
std::string firstGraphemes(std::string_view text, std::size_t count);

// Upper case by Unicode's full case mapping ("é" → "É", "ß" → "SS").
std::string toUpperUnicode(std::string_view text);

}  // namespace orvex

#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orvex::script {

struct Token {
    enum class Kind { word, string, number, symbol, newline, end };
    Kind kind = Kind::end;
    // As written (words of a merged phrase joined by one space); for strings the decoded text.
    std::string text;
    // Lower-case form of a word or phrase; the symbol itself for symbols.
    std::string key;
    int line = 1;
};

// Splits script source into tokens. Comments ("--" and "#" to the end of the line, "(* *)"
// blocks) are dropped, "¬" joins a line with the next, runs of line breaks become one
// newline token, and the multi-word terms of the language ("active tab index", "key code",
// "command down", ...) become one word token each. Throws ScriptError on malformed text.
std::vector<Token> tokenize(std::string_view source);

// Describes a token for a syntax message: "\"then\"", "end of line", "end of script".
std::string describeToken(const Token& token);

}  // namespace orvex::script

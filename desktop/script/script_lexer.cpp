#include "desktop/script/script_lexer.h"

#include <array>

#include "desktop/script/script_error.h"
#include "desktop/script/script_value.h"

namespace orvex::script {

namespace {

// Terms made of several words, longest first so that "active tab index" wins over
// "active tab".
const std::vector<std::vector<std::string>>& phrases() {
    static const std::vector<std::vector<std::string>> table = {
        {"active", "tab", "index"},
        {"application", "processes"},
        {"application", "process"},
        {"do", "shell", "script"},
        {"active", "tab"},
        {"posix", "path"},
        {"key", "code"},
        {"command", "down"},
        {"shift", "down"},
        {"option", "down"},
        {"control", "down"},
        {"missing", "value"},
        {"bundle", "identifier"},
        {"unix", "id"},
        {"unicode", "text"},
    };
    return table;
}

[[noreturn]] void syntaxError(int line, const std::string& what) {
    throw ScriptError("Syntax error on line " + std::to_string(line) + ": " + what + ".",
                      errnum::kSyntax);
}

bool isWordStart(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool isWordChar(unsigned char c) {
    return isWordStart(c) || (c >= '0' && c <= '9');
}

bool isDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

class Lexer {
  public:
    explicit Lexer(std::string_view source) : src_(source) {}

    std::vector<Token> run() {
        while (pos_ < src_.size()) {
            scanOne();
        }
        push(Token::Kind::newline, "", "\n");
        push(Token::Kind::end, "", "");
        return mergePhrases(std::move(tokens_));
    }

  private:
    bool startsWith(std::string_view s) const { return src_.substr(pos_, s.size()) == s; }

    void push(Token::Kind kind, std::string text, std::string key) {
        if (kind == Token::Kind::newline &&
            (tokens_.empty() || tokens_.back().kind == Token::Kind::newline)) {
            return;
        }
        tokens_.push_back(Token{kind, std::move(text), std::move(key), line_});
    }

    void newline() {
        push(Token::Kind::newline, "", "\n");
        ++line_;
    }

    void skipToLineEnd() {
        while (pos_ < src_.size() && src_[pos_] != '\n' && src_[pos_] != '\r') {
            ++pos_;
        }
    }

    void scanOne() {
        unsigned char c = static_cast<unsigned char>(src_[pos_]);
        if (c == ' ' || c == '\t' || c == '\f' || c == '\v') {
            ++pos_;
            return;
        }
        if (c == '\r' || c == '\n') {
            pos_ += (c == '\r' && startsWith("\r\n")) ? 2 : 1;
            newline();
            return;
        }
        if (startsWith("--") || c == '#') {
            skipToLineEnd();
            return;
        }
        if (startsWith("(*")) {
            blockComment();
            return;
        }
        if (startsWith("\xC2\xAC")) {  // ¬ continues the statement on the next line
            pos_ += 2;
            while (pos_ < src_.size() && (src_[pos_] == ' ' || src_[pos_] == '\t')) {
                ++pos_;
            }
            if (startsWith("\r\n")) {
                pos_ += 2;
            } else if (pos_ < src_.size() && (src_[pos_] == '\n' || src_[pos_] == '\r')) {
                ++pos_;
            }
            ++line_;
            return;
        }
        if (c == '"') {
            stringLiteral();
            return;
        }
        if (isDigit(c) || (c == '.' && pos_ + 1 < src_.size() &&
                           isDigit(static_cast<unsigned char>(src_[pos_ + 1])))) {
            number();
            return;
        }
        if (isWordStart(c)) {
            std::size_t start = pos_;
            while (pos_ < src_.size() && isWordChar(static_cast<unsigned char>(src_[pos_]))) {
                ++pos_;
            }
            // "isn't", "doesn't": the apostrophe belongs to the word.
            if (startsWith("'t") && (pos_ + 2 >= src_.size() ||
                                     !isWordChar(static_cast<unsigned char>(src_[pos_ + 2])))) {
                pos_ += 2;
            }
            std::string word(src_.substr(start, pos_ - start));
            push(Token::Kind::word, word, foldCase(word));
            return;
        }
        if (c == '|') {
            std::size_t close = src_.find('|', pos_ + 1);
            std::size_t lineEnd = src_.find_first_of("\r\n", pos_ + 1);
            if (close == std::string_view::npos || close > lineEnd || close == pos_ + 1) {
                syntaxError(line_, "Unterminated |identifier|");
            }
            std::string word(src_.substr(pos_ + 1, close - pos_ - 1));
            pos_ = close + 1;
            push(Token::Kind::word, word, foldCase(word));
            return;
        }
        static const std::array<std::string_view, 7> multi = {
            "\xE2\x89\xA0", "\xE2\x89\xA4", "\xE2\x89\xA5", "<=", ">=", "/=", "<>"};
        for (std::string_view symbol : multi) {
            if (startsWith(symbol)) {
                pos_ += symbol.size();
                std::string key(symbol);
                if (symbol == "/=" || symbol == "<>") {
                    key = "\xE2\x89\xA0";
                } else if (symbol == "<=") {
                    key = "\xE2\x89\xA4";
                } else if (symbol == ">=") {
                    key = "\xE2\x89\xA5";
                }
                push(Token::Kind::symbol, std::string(symbol), key);
                return;
            }
        }
        static const std::string_view single = "(){},:&=<>+-*/^";
        if (single.find(static_cast<char>(c)) != std::string_view::npos) {
            ++pos_;
            std::string symbol(1, static_cast<char>(c));
            push(Token::Kind::symbol, symbol, symbol);
            return;
        }
        std::size_t length = 1;
        if (c >= 0xC0) {
            length = c >= 0xF0 ? 4 : (c >= 0xE0 ? 3 : 2);
        }
        syntaxError(line_, "Unknown character \"" + std::string(src_.substr(pos_, length)) + "\"");
    }

    void blockComment() {
        int depth = 0;
        int startLine = line_;
        while (pos_ < src_.size()) {
            if (startsWith("(*")) {
                ++depth;
                pos_ += 2;
            } else if (startsWith("*)")) {
                pos_ += 2;
                if (--depth == 0) {
                    return;
                }
            } else {
                if (src_[pos_] == '\n' || (src_[pos_] == '\r' && !startsWith("\r\n"))) {
                    ++line_;
                }
                ++pos_;
            }
        }
        syntaxError(startLine, "Unterminated comment");
    }

    void stringLiteral() {
        int startLine = line_;
        ++pos_;
        std::string text;
        while (true) {
            if (pos_ >= src_.size()) {
                syntaxError(startLine, "Unterminated string");
            }
            char c = src_[pos_++];
            if (c == '"') {
                break;
            }
            if (c == '\n') {
                ++line_;
            }
            if (c != '\\') {
                text += c;
                continue;
            }
            if (pos_ >= src_.size()) {
                syntaxError(startLine, "Unterminated string");
            }
            char e = src_[pos_++];
            switch (e) {
                case '"':
                case '\\':
                    text += e;
                    break;
                case 'n':
                    text += '\n';
                    break;
                case 'r':
                    text += '\r';
                    break;
                case 't':
                    text += '\t';
                    break;
                default:
                    syntaxError(line_, std::string("Unknown escape \"\\") + e + "\" in a string");
            }
        }
        push(Token::Kind::string, text, text);
    }

    void number() {
        std::size_t start = pos_;
        while (pos_ < src_.size() && isDigit(static_cast<unsigned char>(src_[pos_]))) {
            ++pos_;
        }
        if (pos_ + 1 < src_.size() && src_[pos_] == '.' &&
            isDigit(static_cast<unsigned char>(src_[pos_ + 1]))) {
            ++pos_;
            while (pos_ < src_.size() && isDigit(static_cast<unsigned char>(src_[pos_]))) {
                ++pos_;
            }
        }
        if (pos_ < src_.size() && (src_[pos_] == 'e' || src_[pos_] == 'E')) {
            std::size_t save = pos_;
            ++pos_;
            if (pos_ < src_.size() && (src_[pos_] == '+' || src_[pos_] == '-')) {
                ++pos_;
            }
            if (pos_ < src_.size() && isDigit(static_cast<unsigned char>(src_[pos_]))) {
                while (pos_ < src_.size() && isDigit(static_cast<unsigned char>(src_[pos_]))) {
                    ++pos_;
                }
            } else {
                pos_ = save;
            }
        }
        if (pos_ < src_.size() && isWordStart(static_cast<unsigned char>(src_[pos_]))) {
            syntaxError(line_, "A number can't be followed by a letter");
        }
        std::string text(src_.substr(start, pos_ - start));
        push(Token::Kind::number, text, text);
    }

    static std::vector<Token> mergePhrases(std::vector<Token> in) {
        std::vector<Token> out;
        out.reserve(in.size());
        for (std::size_t i = 0; i < in.size(); ++i) {
            if (in[i].kind != Token::Kind::word) {
                out.push_back(std::move(in[i]));
                continue;
            }
            std::size_t matched = 1;
            for (const auto& phrase : phrases()) {
                if (i + phrase.size() > in.size()) {
                    continue;
                }
                bool same = true;
                for (std::size_t k = 0; k < phrase.size() && same; ++k) {
                    const Token& t = in[i + k];
                    same =
                        t.kind == Token::Kind::word && t.key == phrase[k] && t.line == in[i].line;
                }
                if (same) {
                    matched = phrase.size();
                    break;
                }
            }
            Token merged = in[i];
            for (std::size_t k = 1; k < matched; ++k) {
                merged.text += " " + in[i + k].text;
                merged.key += " " + in[i + k].key;
            }
            out.push_back(std::move(merged));
            i += matched - 1;
        }
        return out;
    }

    std::string_view src_;
    std::size_t pos_ = 0;
    int line_ = 1;
    std::vector<Token> tokens_;
};

}  // namespace

std::vector<Token> tokenize(std::string_view source) {
    return Lexer(source).run();
}

std::string describeToken(const Token& token) {
    switch (token.kind) {
        case Token::Kind::end:
            return "end of script";
        case Token::Kind::newline:
            return "end of line";
        case Token::Kind::string:
            return "a string";
        case Token::Kind::number:
            return "number " + token.text;
        default:
            return "\"" + token.text + "\"";
    }
}

}  // namespace orvex::script

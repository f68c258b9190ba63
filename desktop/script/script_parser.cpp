#include "desktop/script/script_parser.h"

#include <array>
#include <charconv>
#include <set>
#include <utility>

#include "desktop/script/script_error.h"
#include "desktop/script/script_lexer.h"

namespace orvex::script {

namespace {

const std::vector<std::pair<std::string, std::string>>& classTable() {
    static const std::vector<std::pair<std::string, std::string>> table = {
        {"window", "windows"},    {"tab", "tabs"},
        {"process", "processes"}, {"application process", "application processes"},
        {"item", "items"},        {"document", "documents"},
        {"folder", "folders"},    {"file", "files"},
        {"disk", "disks"},        {"character", "characters"},
        {"word", "words"},        {"paragraph", "paragraphs"},
    };
    return table;
}

// Words that end an expression or belong to a statement's frame, so they are never read
// as a variable or as the index after a class name.
const std::set<std::string, std::less<>>& reservedWords() {
    static const std::set<std::string, std::less<>> words = {
        "of",          "to",       "then",      "with",     "without",
        "and",         "or",       "not",       "is",       "isn't",
        "as",          "in",       "from",      "by",       "using",
        "at",          "contains", "does",      "doesn't",  "else",
        "end",         "equals",   "div",       "mod",      "where",
        "whose",       "named",    "id",        "thru",     "through",
        "that",        "times",    "if",        "tell",     "repeat",
        "set",         "exit",     "try",       "on",       "error",
        "begins",      "starts",   "ends",      "comes",    "every",
        "front",       "back",     "first",     "last",     "middle",
        "before",      "after",    "equal",     "while",    "until",
        "copy",        "delay",    "make",      "new",      "count",
        "get",         "activate", "keystroke", "key code", "do shell script",
        "application", "app",      "return",    "true",     "false",
    };
    return words;
}

// Operators in one flat chain (a & b & c ...); the tree check below bounds the depth.
constexpr int kMaxChain = 250;

int ordinalIndex(std::string_view word) {
    static const std::array<std::pair<std::string_view, int>, 13> ordinals = {{
        {"front", 1},
        {"first", 1},
        {"second", 2},
        {"third", 3},
        {"fourth", 4},
        {"fifth", 5},
        {"sixth", 6},
        {"seventh", 7},
        {"eighth", 8},
        {"ninth", 9},
        {"tenth", 10},
        {"last", -1},
        {"back", -1},
    }};
    for (const auto& [name, index] : ordinals) {
        if (word == name) {
            return index;
        }
    }
    return 0;
}

class Parser {
  public:
    Parser(std::vector<Token> tokens, int maxNesting)
        : tokens_(std::move(tokens)), maxNesting_(maxNesting) {}

    Script parse() {
        Script script;
        script.body = parseBlock();
        if (peek().kind != Token::Kind::end) {
            fail("Expected end of script but found " + describeToken(peek()));
        }
        return script;
    }

  private:
    class DepthGuard {
      public:
        explicit DepthGuard(Parser& parser) : parser_(parser) {
            if (++parser_.depth_ > parser_.maxNesting_) {
                parser_.fail("The script is nested too deeply");
            }
        }
        ~DepthGuard() { --parser_.depth_; }
        DepthGuard(const DepthGuard&) = delete;
        DepthGuard& operator=(const DepthGuard&) = delete;

      private:
        Parser& parser_;
    };

    // --- tokens -------------------------------------------------------------------------

    const Token& peek(std::size_t ahead = 0) const {
        std::size_t index = std::min(pos_ + ahead, tokens_.size() - 1);
        return tokens_[index];
    }
    const Token& advance() {
        const Token& token = peek();
        if (pos_ < tokens_.size() - 1) {
            ++pos_;
        }
        return token;
    }
    bool atWord(std::string_view key, std::size_t ahead = 0) const {
        const Token& token = peek(ahead);
        return token.kind == Token::Kind::word && token.key == key;
    }
    bool atSymbol(std::string_view symbol, std::size_t ahead = 0) const {
        const Token& token = peek(ahead);
        return token.kind == Token::Kind::symbol && token.key == symbol;
    }
    bool atLineEnd() const {
        return peek().kind == Token::Kind::newline || peek().kind == Token::Kind::end;
    }
    bool acceptWord(std::string_view key) {
        if (atWord(key)) {
            advance();
            return true;
        }
        return false;
    }
    bool acceptSymbol(std::string_view symbol) {
        if (atSymbol(symbol)) {
            advance();
            return true;
        }
        return false;
    }

    [[noreturn]] void fail(const std::string& what) const {
        throw ScriptError("Syntax error on line " + std::to_string(peek().line) + ": " + what + ".",
                          errnum::kSyntax);
    }
    [[noreturn]] void expected(const std::string& what) const {
        fail("Expected " + what + " but found " + describeToken(peek()));
    }
    void expectWord(std::string_view key) {
        if (!acceptWord(key)) {
            expected("\"" + std::string(key) + "\"");
        }
    }
    void expectSymbol(std::string_view symbol) {
        if (!acceptSymbol(symbol)) {
            expected("\"" + std::string(symbol) + "\"");
        }
    }
    void expectLineEnd() {
        if (!atLineEnd()) {
            expected("end of line");
        }
    }
    void skipNewlines() {
        while (peek().kind == Token::Kind::newline) {
            advance();
        }
    }
    std::string expectVariableName() {
        const Token& token = peek();
        if (token.kind != Token::Kind::word || reservedWords().count(token.key) > 0) {
            expected("a variable name");
        }
        advance();
        return token.key;
    }

    // --- statements ---------------------------------------------------------------------

    // Statements up to a line starting with "end", "else" or "on error" (or the end).
    Block parseBlock() {
        Block block;
        for (;;) {
            skipNewlines();
            if (peek().kind == Token::Kind::end || atWord("end") || atWord("else") ||
                (atWord("on") && atWord("error", 1))) {
                return block;
            }
            block.push_back(parseStatement());
            expectLineEnd();
        }
    }

    void expectEnd(std::string_view keyword) {
        if (!atWord("end")) {
            expected("\"end " + std::string(keyword) + "\"");
        }
        advance();
        if (acceptWord(keyword)) {
            return;
        }
        if (!atLineEnd()) {
            fail("Expected \"end " + std::string(keyword) + "\" but found \"end " + peek().text +
                 "\"");
        }
    }

    StmtPtr make(Stmt::Kind kind, int line) {
        auto stmt = std::make_unique<Stmt>();
        stmt->kind = kind;
        stmt->line = line;
        return stmt;
    }

    StmtPtr parseStatement() {
        DepthGuard guard(*this);
        int line = peek().line;
        if (acceptWord("tell")) {
            auto stmt = make(Stmt::Kind::tell, line);
            stmt->a = parseExpression();
            if (acceptWord("to")) {
                stmt->body.push_back(parseStatement());
                return stmt;
            }
            expectLineEnd();
            stmt->body = parseBlock();
            expectEnd("tell");
            return stmt;
        }
        if (acceptWord("if")) {
            return parseIf(line);
        }
        if (acceptWord("repeat")) {
            return parseRepeat(line);
        }
        if (acceptWord("exit")) {
            acceptWord("repeat");
            if (loopDepth_ == 0) {
                fail("\"exit repeat\" is only allowed inside a repeat loop");
            }
            return make(Stmt::Kind::exitRepeat, line);
        }
        if (acceptWord("return")) {
            auto stmt = make(Stmt::Kind::returnValue, line);
            if (!atLineEnd()) {
                stmt->a = parseExpression();
            }
            return stmt;
        }
        if (acceptWord("set")) {
            auto stmt = make(Stmt::Kind::set, line);
            stmt->a = parseAssignable();
            expectWord("to");
            stmt->b = parseExpression();
            return stmt;
        }
        if (acceptWord("copy")) {
            auto stmt = make(Stmt::Kind::set, line);
            stmt->b = parseExpression();
            expectWord("to");
            stmt->a = parseAssignable();
            return stmt;
        }
        if (acceptWord("delay")) {
            auto stmt = make(Stmt::Kind::delay, line);
            if (!atLineEnd()) {
                stmt->a = parseExpression();
            }
            return stmt;
        }
        if (acceptWord("try")) {
            auto stmt = make(Stmt::Kind::tryBlock, line);
            expectLineEnd();
            stmt->body = parseBlock();
            if (atWord("on") && atWord("error", 1)) {
                advance();
                advance();
                if (!atLineEnd()) {
                    stmt->variable = expectVariableName();
                }
                expectLineEnd();
                stmt->elseBody = parseBlock();
            }
            expectEnd("try");
            return stmt;
        }
        if (acceptWord("error")) {
            auto stmt = make(Stmt::Kind::raise, line);
            if (!atLineEnd() && !atWord("number")) {
                stmt->a = parseExpression();
            }
            if (acceptWord("number")) {
                stmt->b = parseExpression();
            }
            return stmt;
        }
        if (atWord("on") || atWord("to")) {
            fail("Handlers are not supported");
        }
        if (atWord("end") || atWord("else")) {
            fail("Unexpected \"" + peek().text + "\"");
        }
        auto stmt = make(Stmt::Kind::expression, line);
        stmt->a = parseExpression();
        return stmt;
    }

    ExprPtr parseAssignable() {
        ExprPtr target = parseExpression();
        bool variable = target->kind == Expr::Kind::term;
        bool property = target->kind == Expr::Kind::specifier &&
                        target->form == SpecifierForm::property && target->b != nullptr;
        if (!variable && !property) {
            fail("Expected a variable or a property to set");
        }
        return target;
    }

    StmtPtr parseIf(int line) {
        auto stmt = make(Stmt::Kind::ifChain, line);
        stmt->conditions.push_back(parseExpression());
        expectWord("then");
        if (!atLineEnd()) {
            Block single;
            single.push_back(parseStatement());
            stmt->branches.push_back(std::move(single));
            return stmt;
        }
        stmt->branches.push_back(parseBlock());
        while (acceptWord("else")) {
            if (acceptWord("if")) {
                stmt->conditions.push_back(parseExpression());
                expectWord("then");
                expectLineEnd();
                stmt->branches.push_back(parseBlock());
                continue;
            }
            expectLineEnd();
            stmt->elseBody = parseBlock();
            break;
        }
        expectEnd("if");
        return stmt;
    }

    StmtPtr parseRepeat(int line) {
        auto stmt = make(Stmt::Kind::repeatLoop, line);
        if (acceptWord("with")) {
            stmt->variable = expectVariableName();
            if (acceptWord("in")) {
                stmt->kind = Stmt::Kind::repeatIn;
                stmt->a = parseExpression();
            } else if (acceptWord("from")) {
                stmt->kind = Stmt::Kind::repeatRange;
                stmt->a = parseExpression();
                expectWord("to");
                stmt->b = parseExpression();
                if (acceptWord("by")) {
                    stmt->c = parseExpression();
                }
            } else {
                expected("\"in\" or \"from\"");
            }
        } else if (acceptWord("while")) {
            stmt->kind = Stmt::Kind::repeatWhile;
            stmt->a = parseExpression();
        } else if (acceptWord("until")) {
            stmt->kind = Stmt::Kind::repeatUntil;
            stmt->a = parseExpression();
        } else if (!atLineEnd()) {
            stmt->kind = Stmt::Kind::repeatTimes;
            stmt->a = parseExpression();
            expectWord("times");
        }
        expectLineEnd();
        ++loopDepth_;
        stmt->body = parseBlock();
        --loopDepth_;
        expectEnd("repeat");
        return stmt;
    }

    // --- expressions --------------------------------------------------------------------

    ExprPtr makeExpr(Expr::Kind kind, int line) {
        auto expr = std::make_unique<Expr>();
        expr->kind = kind;
        expr->line = line;
        return expr;
    }

    ExprPtr binary(BinaryOp op, ExprPtr left, ExprPtr right, int& chain) {
        if (++chain > kMaxChain) {
            fail("The expression is too long");
        }
        auto expr = makeExpr(Expr::Kind::binary, left->line);
        expr->binaryOp = op;
        expr->a = std::move(left);
        expr->b = std::move(right);
        return expr;
    }

    ExprPtr parseExpression() {
        DepthGuard guard(*this);
        return parseOr();
    }

    ExprPtr parseOr() {
        ExprPtr left = parseAnd();
        int chain = 0;
        while (acceptWord("or")) {
            left = binary(BinaryOp::orOp, std::move(left), parseAnd(), chain);
        }
        return left;
    }

    ExprPtr parseAnd() {
        ExprPtr left = parseNot();
        int chain = 0;
        while (acceptWord("and")) {
            left = binary(BinaryOp::andOp, std::move(left), parseNot(), chain);
        }
        return left;
    }

    ExprPtr parseNot() {
        if (atWord("not")) {
            int line = advance().line;
            DepthGuard guard(*this);
            auto expr = makeExpr(Expr::Kind::unary, line);
            expr->unaryOp = UnaryOp::notOp;
            expr->a = parseNot();
            return expr;
        }
        return parseComparison();
    }

    std::optional<BinaryOp> comparisonOperator() {
        if (peek().kind == Token::Kind::symbol) {
            static const std::array<std::pair<std::string_view, BinaryOp>, 6> symbols = {{
                {"=", BinaryOp::equal},
                {"\xE2\x89\xA0", BinaryOp::notEqual},
                {"<", BinaryOp::less},
                {">", BinaryOp::greater},
                {"\xE2\x89\xA4", BinaryOp::lessOrEqual},
                {"\xE2\x89\xA5", BinaryOp::greaterOrEqual},
            }};
            for (const auto& [symbol, op] : symbols) {
                if (acceptSymbol(symbol)) {
                    return op;
                }
            }
            return std::nullopt;
        }
        if (acceptWord("equals")) {
            return BinaryOp::equal;
        }
        if (acceptWord("contains")) {
            return BinaryOp::contains;
        }
        if ((atWord("starts") || atWord("begins")) && atWord("with", 1)) {
            advance();
            advance();
            return BinaryOp::startsWith;
        }
        if (atWord("ends") && atWord("with", 1)) {
            advance();
            advance();
            return BinaryOp::endsWith;
        }
        if (atWord("comes") && (atWord("before", 1) || atWord("after", 1))) {
            advance();
            return advance().key == "before" ? BinaryOp::less : BinaryOp::greater;
        }
        if (atWord("does") && atWord("not", 1)) {
            advance();
            advance();
            return negatedVerb();
        }
        if (acceptWord("doesn't")) {
            return negatedVerb();
        }
        if (acceptWord("isn't")) {
            return afterIsNot();
        }
        if (!acceptWord("is")) {
            return std::nullopt;
        }
        if (acceptWord("not")) {
            return afterIsNot();
        }
        if (acceptWord("in")) {
            return BinaryOp::isIn;
        }
        if (atWord("contained") && atWord("by", 1)) {
            advance();
            advance();
            return BinaryOp::isIn;
        }
        if (atWord("equal") && atWord("to", 1)) {
            advance();
            advance();
            return BinaryOp::equal;
        }
        bool less = atWord("less");
        if ((less || atWord("greater")) && atWord("than", 1)) {
            advance();
            advance();
            if (atWord("or") && atWord("equal", 1) && atWord("to", 2)) {
                advance();
                advance();
                advance();
                return less ? BinaryOp::lessOrEqual : BinaryOp::greaterOrEqual;
            }
            return less ? BinaryOp::less : BinaryOp::greater;
        }
        return BinaryOp::equal;
    }

    BinaryOp negatedVerb() {
        if (acceptWord("contain")) {
            return BinaryOp::notContains;
        }
        if (acceptWord("equal")) {
            return BinaryOp::notEqual;
        }
        expected("\"contain\" or \"equal\"");
    }

    BinaryOp afterIsNot() {
        if (acceptWord("in")) {
            return BinaryOp::notIn;
        }
        if (atWord("equal") && atWord("to", 1)) {
            advance();
            advance();
        }
        return BinaryOp::notEqual;
    }

    ExprPtr parseComparison() {
        ExprPtr left = parseCoercion();
        int chain = 0;
        while (auto op = comparisonOperator()) {
            left = binary(*op, std::move(left), parseCoercion(), chain);
        }
        return left;
    }

    ExprPtr parseCoercion() {
        ExprPtr left = parseConcat();
        int chain = 0;
        while (atWord("as")) {
            int line = advance().line;
            if (++chain > kMaxChain) {
                fail("The expression is too long");
            }
            static const std::set<std::string, std::less<>> types = {
                "alias", "text",   "string", "unicode text", "integer",
                "real",  "number", "list",   "boolean",      "record"};
            const Token& type = peek();
            if (type.kind != Token::Kind::word || types.count(type.key) == 0) {
                expected("a type name");
            }
            auto expr = makeExpr(Expr::Kind::coerce, line);
            expr->name = advance().key;
            expr->a = std::move(left);
            left = std::move(expr);
        }
        return left;
    }

    ExprPtr parseConcat() {
        ExprPtr left = parseAdditive();
        int chain = 0;
        while (acceptSymbol("&")) {
            left = binary(BinaryOp::concat, std::move(left), parseAdditive(), chain);
        }
        return left;
    }

    ExprPtr parseAdditive() {
        ExprPtr left = parseMultiplicative();
        int chain = 0;
        for (;;) {
            if (acceptSymbol("+")) {
                left = binary(BinaryOp::add, std::move(left), parseMultiplicative(), chain);
            } else if (acceptSymbol("-")) {
                left = binary(BinaryOp::subtract, std::move(left), parseMultiplicative(), chain);
            } else {
                return left;
            }
        }
    }

    ExprPtr parseMultiplicative() {
        ExprPtr left = parsePower();
        int chain = 0;
        for (;;) {
            BinaryOp op;
            if (acceptSymbol("*")) {
                op = BinaryOp::multiply;
            } else if (acceptSymbol("/")) {
                op = BinaryOp::divide;
            } else if (acceptWord("div")) {
                op = BinaryOp::intDivide;
            } else if (acceptWord("mod")) {
                op = BinaryOp::modulo;
            } else {
                return left;
            }
            left = binary(op, std::move(left), parsePower(), chain);
        }
    }

    ExprPtr parsePower() {
        ExprPtr left = parseUnary();
        if (atSymbol("^")) {
            advance();
            DepthGuard guard(*this);
            int chain = 0;
            return binary(BinaryOp::power, std::move(left), parsePower(), chain);
        }
        return left;
    }

    ExprPtr parseUnary() {
        if (atSymbol("-") || atSymbol("+")) {
            bool negate = advance().key == "-";
            DepthGuard guard(*this);
            auto expr = makeExpr(Expr::Kind::unary, peek().line);
            expr->unaryOp = negate ? UnaryOp::negate : UnaryOp::plus;
            expr->a = parseUnary();
            return expr;
        }
        return parseReference();
    }

    // A term followed by "of <container>", nesting to the right: URL of tab 1 of w.
    ExprPtr parseReference() {
        DepthGuard guard(*this);
        ExprPtr expr = parsePrimary();
        bool chainable = !grouped_ && (expr->kind == Expr::Kind::term ||
                                       (expr->kind == Expr::Kind::specifier && !expr->b));
        grouped_ = false;
        if (chainable && atWord("of")) {
            advance();
            if (expr->kind == Expr::Kind::term) {
                expr->kind = Expr::Kind::specifier;
                expr->form = SpecifierForm::property;
            }
            expr->b = parseReference();
            grouped_ = false;
        }
        return expr;
    }

    bool startsIndex(std::size_t ahead) const {
        const Token& token = peek(ahead);
        switch (token.kind) {
            case Token::Kind::number:
            case Token::Kind::string:
                return true;
            case Token::Kind::symbol:
                return token.key == "(" ||
                       (token.key == "-" && peek(ahead + 1).kind == Token::Kind::number);
            case Token::Kind::word:
                return reservedWords().count(token.key) == 0 && !isClassName(token.key) &&
                       singularClassName(token.key).empty() && ordinalIndex(token.key) == 0;
            default:
                return false;
        }
    }

    ExprPtr parseIndex() {
        DepthGuard guard(*this);
        if (atSymbol("-")) {
            int line = advance().line;
            auto expr = makeExpr(Expr::Kind::unary, line);
            expr->unaryOp = UnaryOp::negate;
            expr->a = parsePrimary();
            return expr;
        }
        ExprPtr index = parsePrimary();
        grouped_ = false;
        return index;
    }

    ExprPtr literal(Value value, int line) {
        auto expr = makeExpr(Expr::Kind::literal, line);
        expr->value = std::move(value);
        return expr;
    }

    ExprPtr specifier(SpecifierForm form, std::string className, int line) {
        auto expr = makeExpr(Expr::Kind::specifier, line);
        expr->form = form;
        expr->name = std::move(className);
        expr->display = expr->name;
        return expr;
    }

    std::string expectClassName() {
        const Token& token = peek();
        if (token.kind == Token::Kind::word) {
            if (isClassName(token.key)) {
                advance();
                return token.key;
            }
            std::string singular = singularClassName(token.key);
            if (!singular.empty()) {
                advance();
                return singular;
            }
        }
        expected("a class name");
    }

    ExprPtr parseNumber(const Token& token) {
        bool integral = token.text.find_first_of(".eE") == std::string::npos;
        if (integral) {
            std::int64_t value = 0;
            auto [ptr, ec] =
                std::from_chars(token.text.data(), token.text.data() + token.text.size(), value);
            if (ec == std::errc() && ptr == token.text.data() + token.text.size()) {
                return literal(Value::integer(value), token.line);
            }
        }
        double value = 0;
        auto [ptr, ec] =
            std::from_chars(token.text.data(), token.text.data() + token.text.size(), value);
        if (ec != std::errc()) {
            fail("The number " + token.text + " is out of range");
        }
        return literal(Value::real(value), token.line);
    }

    ExprPtr parseBraces(int line) {
        if (acceptSymbol("}")) {
            return literal(Value::list({}), line);
        }
        bool isRecord = peek().kind == Token::Kind::word && atSymbol(":", 1);
        auto expr = makeExpr(isRecord ? Expr::Kind::record : Expr::Kind::list, line);
        for (;;) {
            if (isRecord) {
                const Token& key = peek();
                if (key.kind != Token::Kind::word) {
                    expected("a property label");
                }
                advance();
                expr->keys.push_back(key.key);
                expectSymbol(":");
            }
            expr->items.push_back(parseExpression());
            if (expr->items.size() > 100000) {
                fail("The list is too long");
            }
            if (acceptSymbol(",")) {
                continue;
            }
            expectSymbol("}");
            return expr;
        }
    }

    ExprPtr parsePrimary() {
        DepthGuard guard(*this);
        grouped_ = false;
        const Token token = peek();
        int line = token.line;
        switch (token.kind) {
            case Token::Kind::number:
                advance();
                return parseNumber(token);
            case Token::Kind::string:
                advance();
                return literal(Value::text(token.text), line);
            case Token::Kind::symbol:
                if (acceptSymbol("(")) {
                    ExprPtr inner = parseExpression();
                    expectSymbol(")");
                    grouped_ = true;
                    return inner;
                }
                if (acceptSymbol("{")) {
                    return parseBraces(line);
                }
                expected("an expression");
            case Token::Kind::word:
                return parseWord(token);
            default:
                expected("an expression");
        }
    }

    ExprPtr parseWord(const Token& token) {
        int line = token.line;
        const std::string& key = token.key;
        static const std::array<std::pair<std::string_view, std::string_view>, 5> textConstants = {
            {{"return", "\r"}, {"linefeed", "\n"}, {"space", " "}, {"quote", "\""}, {"tab", "\t"}}};
        if (key == "true" || key == "false") {
            advance();
            return literal(Value::boolean(key == "true"), line);
        }
        for (const auto& [name, text] : textConstants) {
            if (key == name &&
                !(key == "tab" && (startsIndex(1) || atWord("named", 1) || atWord("id", 1)))) {
                advance();
                return literal(Value::text(std::string(text)), line);
            }
        }
        if (key == "missing value" || key == "command down" || key == "shift down" ||
            key == "option down" || key == "control down") {
            advance();
            return literal(Value::constant(key), line);
        }
        if (key == "application" || key == "app") {
            advance();
            auto expr = makeExpr(Expr::Kind::application, line);
            expr->a = parsePrimary();
            grouped_ = false;
            return expr;
        }
        if (key == "every") {
            advance();
            return specifier(SpecifierForm::every, expectClassName(), line);
        }
        if (int ordinal = ordinalIndex(key); ordinal != 0) {
            advance();
            auto expr = specifier(SpecifierForm::index, expectClassName(), line);
            expr->a = literal(Value::integer(ordinal), line);
            return expr;
        }
        if (key == "count" || (key == "number" && atWord("of", 1))) {
            advance();
            acceptWord("of");
            auto expr = makeExpr(Expr::Kind::count, line);
            expr->a = parseReference();
            grouped_ = false;
            return expr;
        }
        if (key == "get") {
            advance();
            return parseConcat();
        }
        if (key == "do shell script") {
            advance();
            auto expr = makeExpr(Expr::Kind::shell, line);
            expr->a = parseConcat();
            return expr;
        }
        if (key == "keystroke" || key == "key code") {
            advance();
            auto expr = makeExpr(Expr::Kind::command, line);
            expr->name = key;
            expr->a = parseConcat();
            if (acceptWord("using")) {
                expr->b = parseConcat();
            }
            return expr;
        }
        if (key == "activate") {
            advance();
            auto expr = makeExpr(Expr::Kind::command, line);
            expr->name = key;
            if (!atLineEnd() && (atWord("application") || atWord("app") || startsIndex(0))) {
                expr->a = parseConcat();
            }
            return expr;
        }
        if (key == "make") {
            advance();
            expectWord("new");
            auto expr = makeExpr(Expr::Kind::makeNew, line);
            expr->name = expectClassName();
            for (;;) {
                if (acceptWord("at")) {
                    expr->b = parseConcat();
                } else if (atWord("with") && atWord("properties", 1)) {
                    advance();
                    advance();
                    expr->a = parseConcat();
                } else {
                    return expr;
                }
            }
        }
        if (isClassName(key)) {
            advance();
            if (acceptWord("named")) {
                auto expr = specifier(SpecifierForm::name, key, line);
                expr->a = parseIndex();
                return expr;
            }
            if (acceptWord("id")) {
                auto expr = specifier(SpecifierForm::id, key, line);
                expr->a = parseIndex();
                return expr;
            }
            if (startsIndex(0)) {
                auto expr = specifier(SpecifierForm::index, key, line);
                expr->a = parseIndex();
                return expr;
            }
            auto expr = makeExpr(Expr::Kind::term, line);
            expr->name = key;
            expr->display = token.text;
            return expr;
        }
        if (std::string singular = singularClassName(key); !singular.empty()) {
            advance();
            return specifier(SpecifierForm::every, singular, line);
        }
        if (reservedWords().count(key) > 0) {
            expected("an expression");
        }
        advance();
        auto expr = makeExpr(Expr::Kind::term, line);
        expr->name = key;
        expr->display = token.text;
        return expr;
    }

    std::vector<Token> tokens_;
    std::size_t pos_ = 0;
    int depth_ = 0;
    int loopDepth_ = 0;
    int maxNesting_;
    // Set right after a bracketed expression, so "(x) of y" is not read as a reference.
    bool grouped_ = false;
};

// Rejects trees deeper than `limit`, counting statements and expressions alike, so that
// evaluating and describing a tree never recurses further. Stops descending at the limit.
class DepthCheck {
  public:
    explicit DepthCheck(int limit) : limit_(limit) {}

    void block(const Block& block, int depth) {
        for (const auto& stmt : block) {
            statement(*stmt, depth + 1);
        }
    }

  private:
    void enter(int depth, int line) const {
        if (depth > limit_) {
            throw ScriptError("Syntax error on line " + std::to_string(line) +
                                  ": The script is nested too deeply.",
                              errnum::kSyntax);
        }
    }

    void statement(const Stmt& stmt, int depth) {
        enter(depth, stmt.line);
        for (const ExprPtr* expr : {&stmt.a, &stmt.b, &stmt.c}) {
            expression(expr->get(), depth + 1);
        }
        for (const auto& condition : stmt.conditions) {
            expression(condition.get(), depth + 1);
        }
        for (const auto& branch : stmt.branches) {
            block(branch, depth);
        }
        block(stmt.body, depth);
        block(stmt.elseBody, depth);
    }

    void expression(const Expr* expr, int depth) {
        if (!expr) {
            return;
        }
        enter(depth, expr->line);
        expression(expr->a.get(), depth + 1);
        expression(expr->b.get(), depth + 1);
        for (const auto& item : expr->items) {
            expression(item.get(), depth + 1);
        }
    }

    int limit_;
};

}  // namespace

std::string singularClassName(std::string_view word) {
    for (const auto& [singular, plural] : classTable()) {
        if (plural == word) {
            return singular;
        }
    }
    return {};
}

bool isClassName(std::string_view word) {
    for (const auto& [singular, plural] : classTable()) {
        if (singular == word) {
            return true;
        }
    }
    return false;
}

Script parseScript(std::string_view source, int maxNesting) {
    Script script = Parser(tokenize(source), maxNesting).parse();
    DepthCheck(maxNesting * 2).block(script.body, 0);
    return script;
}

}  // namespace orvex::script

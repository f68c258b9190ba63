#include "desktop/script/script_evaluator.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "desktop/script/script_error.h"

namespace orvex::script {

namespace {

// Restores the tell stack however the block is left.
class TellScope {
  public:
    TellScope(std::vector<ObjectRef>& stack, ObjectRef target)
        : stack_(stack), size_(stack.size()) {
        stack_.push_back(std::move(target));
    }
    ~TellScope() { stack_.resize(size_); }
    TellScope(const TellScope&) = delete;
    TellScope& operator=(const TellScope&) = delete;

  private:
    std::vector<ObjectRef>& stack_;
    std::size_t size_;
};

std::vector<std::string> utf8Characters(const std::string& text) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < text.size()) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80    ? 1
                             : lead >= 0xF0 ? 4
                             : lead >= 0xE0 ? 3
                             : lead >= 0xC0 ? 2
                                            : 1;
        length = std::min(length, text.size() - i);
        out.push_back(text.substr(i, length));
        i += length;
    }
    return out;
}

std::vector<std::string> splitWhere(const std::string& text, bool (*separator)(char)) {
    std::vector<std::string> out;
    std::string current;
    for (char c : text) {
        if (separator(c)) {
            if (!current.empty()) {
                out.push_back(current);
            }
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) {
        out.push_back(current);
    }
    return out;
}

std::vector<Value> textList(const std::vector<std::string>& parts) {
    std::vector<Value> out;
    out.reserve(parts.size());
    for (const auto& part : parts) {
        out.push_back(Value::text(part));
    }
    return out;
}

std::optional<std::vector<std::string>> textElements(const std::string& className,
                                                     const std::string& text) {
    if (className == "character") {
        return utf8Characters(text);
    }
    if (className == "word") {
        return splitWhere(text, [](char c) {
            return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ',' || c == '.';
        });
    }
    if (className == "paragraph") {
        return splitWhere(text, [](char c) { return c == '\n' || c == '\r'; });
    }
    return std::nullopt;
}

// Text that reads as a whole number becomes an integer, other numbers stay as they are.
Value numeric(const Value& value) {
    if (value.isNumber()) {
        return value;
    }
    if (value.kind() == Value::Kind::text) {
        double number = toNumber(value);
        if (std::floor(number) == number && std::fabs(number) < 9e15) {
            return Value::integer(static_cast<std::int64_t>(number));
        }
        return Value::real(number);
    }
    return Value::real(toNumber(value));
}

bool containsValue(const Value& container, const Value& part) {
    if (container.kind() == Value::Kind::text) {
        return foldCase(container.asText()).find(foldCase(toText(part))) != std::string::npos;
    }
    if (container.kind() == Value::Kind::record && part.kind() == Value::Kind::record) {
        const Record& whole = container.asRecord();
        const Record& sub = part.asRecord();
        for (std::size_t i = 0; i < sub.size(); ++i) {
            const Value* found = whole.find(sub.keys()[i]);
            if (!found || !valuesEqual(*found, sub.values()[i])) {
                return false;
            }
        }
        return true;
    }
    std::vector<Value> items = toList(container);
    if (part.kind() != Value::Kind::list) {
        return std::any_of(items.begin(), items.end(),
                           [&](const Value& item) { return valuesEqual(item, part); });
    }
    const auto& sub = part.asList();
    if (sub.empty()) {
        return true;
    }
    if (sub.size() > items.size()) {
        return false;
    }
    for (std::size_t start = 0; start + sub.size() <= items.size(); ++start) {
        bool all = true;
        for (std::size_t k = 0; k < sub.size() && all; ++k) {
            all = valuesEqual(items[start + k], sub[k]);
        }
        if (all) {
            return true;
        }
    }
    return false;
}

bool edgeMatches(const Value& whole, const Value& part, bool atStart) {
    if (whole.kind() == Value::Kind::text) {
        std::string w = foldCase(whole.asText());
        std::string p = foldCase(toText(part));
        if (p.size() > w.size()) {
            return false;
        }
        return atStart ? w.compare(0, p.size(), p) == 0
                       : w.compare(w.size() - p.size(), p.size(), p) == 0;
    }
    std::vector<Value> items = toList(whole);
    std::vector<Value> sub = toList(part);
    if (sub.size() > items.size()) {
        return false;
    }
    std::size_t offset = atStart ? 0 : items.size() - sub.size();
    for (std::size_t k = 0; k < sub.size(); ++k) {
        if (!valuesEqual(items[offset + k], sub[k])) {
            return false;
        }
    }
    return true;
}

[[noreturn]] void divideByZero(const Value& left) {
    throw ScriptError("Can't divide " + describe(left) + " by zero.", errnum::kDivideByZero);
}

Value arithmetic(BinaryOp op, const Value& left, const Value& right) {
    Value a = numeric(left);
    Value b = numeric(right);
    bool integers = a.kind() == Value::Kind::integer && b.kind() == Value::Kind::integer;
    if (integers) {
        std::int64_t x = a.asInteger();
        std::int64_t y = b.asInteger();
        std::int64_t out = 0;
        switch (op) {
            case BinaryOp::add:
                if (!__builtin_add_overflow(x, y, &out)) {
                    return Value::integer(out);
                }
                break;
            case BinaryOp::subtract:
                if (!__builtin_sub_overflow(x, y, &out)) {
                    return Value::integer(out);
                }
                break;
            case BinaryOp::multiply:
                if (!__builtin_mul_overflow(x, y, &out)) {
                    return Value::integer(out);
                }
                break;
            case BinaryOp::intDivide:
                if (y == 0) {
                    divideByZero(left);
                }
                if (!(x == std::numeric_limits<std::int64_t>::min() && y == -1)) {
                    return Value::integer(x / y);
                }
                break;
            case BinaryOp::modulo:
                if (y == 0) {
                    divideByZero(left);
                }
                return Value::integer(y == -1 ? 0 : x % y);
            default:
                break;
        }
    }
    double x = toNumber(a);
    double y = toNumber(b);
    switch (op) {
        case BinaryOp::add:
            return Value::real(x + y);
        case BinaryOp::subtract:
            return Value::real(x - y);
        case BinaryOp::multiply:
            return Value::real(x * y);
        case BinaryOp::divide:
            if (y == 0) {
                divideByZero(left);
            }
            return Value::real(x / y);
        case BinaryOp::intDivide: {
            if (y == 0) {
                divideByZero(left);
            }
            double quotient = std::trunc(x / y);
            if (!(std::fabs(quotient) < 9.2e18)) {
                return Value::real(quotient);
            }
            return Value::integer(static_cast<std::int64_t>(quotient));
        }
        case BinaryOp::modulo:
            if (y == 0) {
                divideByZero(left);
            }
            return Value::real(std::fmod(x, y));
        case BinaryOp::power:
            return Value::real(std::pow(x, y));
        default:
            break;
    }
    return Value();
}

Value concatenate(const Value& left, const Value& right) {
    if (left.kind() == Value::Kind::text) {
        return Value::text(left.asText() + toText(right));
    }
    if (left.kind() == Value::Kind::record && right.kind() == Value::Kind::record) {
        Record merged = left.asRecord();
        const Record& extra = right.asRecord();
        for (std::size_t i = 0; i < extra.size(); ++i) {
            if (!merged.find(extra.keys()[i])) {
                merged.set(extra.keys()[i], extra.values()[i]);
            }
        }
        return Value::record(std::move(merged));
    }
    std::vector<Value> items = toList(left);
    if (right.kind() == Value::Kind::list) {
        items.insert(items.end(), right.asList().begin(), right.asList().end());
    } else {
        items.push_back(right);
    }
    return Value::list(std::move(items));
}

}  // namespace

Evaluator::Evaluator(const ScriptableApplicationRegistry& applications, Clock& clock,
                     Processes* processes, const InterpreterLimits& limits)
    : applications_(applications), clock_(clock), processes_(processes), limits_(limits) {}

Value Evaluator::run(const Script& script) {
    execBlock(script.body);
    return result_;
}

void Evaluator::step() {
    if (++steps_ > limits_.maxSteps) {
        throw ScriptAbort("The script was stopped after " + std::to_string(limits_.maxSteps) +
                          " steps.");
    }
}

const Value& Evaluator::checked(const Value& value) const {
    if (value.weight() > limits_.maxValueWeight || value.nesting() > limits_.maxValueNesting) {
        throw ScriptAbort("A value of the script grew too large.");
    }
    return value;
}

// --- statements -------------------------------------------------------------------------

Evaluator::Flow Evaluator::execBlock(const Block& block) {
    for (const auto& stmt : block) {
        Flow flow = execStatement(*stmt);
        if (flow != Flow::normal) {
            return flow;
        }
    }
    return Flow::normal;
}

Evaluator::Flow Evaluator::execRepeatBody(const Block& body, bool& stop) {
    step();
    Flow flow = execBlock(body);
    stop = flow != Flow::normal;
    return flow == Flow::returned ? Flow::returned : Flow::normal;
}

Evaluator::Flow Evaluator::execStatement(const Stmt& stmt) {
    step();
    bool stop = false;
    switch (stmt.kind) {
        case Stmt::Kind::expression:
            result_ = eval(*stmt.a);
            return Flow::normal;
        case Stmt::Kind::set: {
            Value value = eval(*stmt.b);
            assign(*stmt.a, value);
            result_ = std::move(value);
            return Flow::normal;
        }
        case Stmt::Kind::tell: {
            Value target = eval(*stmt.a);
            if (target.kind() != Value::Kind::object || !target.asObject()) {
                throw ScriptError("Can't send commands to " + describe(target) + ".",
                                  errnum::kNotUnderstood);
            }
            TellScope scope(tellTargets_, target.asObject());
            return execBlock(stmt.body);
        }
        case Stmt::Kind::ifChain:
            for (std::size_t i = 0; i < stmt.conditions.size(); ++i) {
                if (toBoolean(eval(*stmt.conditions[i]))) {
                    return execBlock(stmt.branches[i]);
                }
            }
            return execBlock(stmt.elseBody);
        case Stmt::Kind::repeatLoop:
            while (!stop) {
                if (execRepeatBody(stmt.body, stop) == Flow::returned) {
                    return Flow::returned;
                }
            }
            return Flow::normal;
        case Stmt::Kind::repeatTimes: {
            std::int64_t times = toInteger(eval(*stmt.a));
            for (std::int64_t i = 0; i < times && !stop; ++i) {
                if (execRepeatBody(stmt.body, stop) == Flow::returned) {
                    return Flow::returned;
                }
            }
            return Flow::normal;
        }
        case Stmt::Kind::repeatWhile:
        case Stmt::Kind::repeatUntil: {
            bool whileForm = stmt.kind == Stmt::Kind::repeatWhile;
            while (!stop && toBoolean(eval(*stmt.a)) == whileForm) {
                if (execRepeatBody(stmt.body, stop) == Flow::returned) {
                    return Flow::returned;
                }
            }
            return Flow::normal;
        }
        case Stmt::Kind::repeatIn: {
            // The list is taken once, before the first turn.
            std::vector<Value> items = toList(eval(*stmt.a));
            for (std::size_t i = 0; i < items.size() && !stop; ++i) {
                variables_[stmt.variable] = items[i];
                if (execRepeatBody(stmt.body, stop) == Flow::returned) {
                    return Flow::returned;
                }
            }
            return Flow::normal;
        }
        case Stmt::Kind::repeatRange:
            return execRange(stmt);
        case Stmt::Kind::exitRepeat:
            return Flow::exitRepeat;
        case Stmt::Kind::returnValue:
            result_ = stmt.a ? eval(*stmt.a) : Value();
            return Flow::returned;
        case Stmt::Kind::delay:
            execDelay(stmt);
            return Flow::normal;
        case Stmt::Kind::tryBlock: {
            std::size_t tellDepth = tellTargets_.size();
            try {
                return execBlock(stmt.body);
            } catch (const ScriptError& error) {
                tellTargets_.resize(tellDepth);
                if (!stmt.variable.empty()) {
                    variables_[stmt.variable] = Value::text(error.what());
                }
            }
            return execBlock(stmt.elseBody);
        }
        case Stmt::Kind::raise: {
            std::string message = stmt.a ? toText(eval(*stmt.a)) : "An error has occurred.";
            int number = errnum::kUserError;
            if (stmt.b) {
                std::int64_t n = toInteger(eval(*stmt.b));
                number = static_cast<int>(std::clamp<std::int64_t>(n, -2147483647, 2147483647));
            }
            throw ScriptError(message, number);
        }
    }
    return Flow::normal;
}

Evaluator::Flow Evaluator::execRange(const Stmt& stmt) {
    Value from = numeric(eval(*stmt.a));
    Value to = numeric(eval(*stmt.b));
    Value by = stmt.c ? numeric(eval(*stmt.c)) : Value::integer(1);
    bool stop = false;
    if (from.kind() == Value::Kind::integer && to.kind() == Value::Kind::integer &&
        by.kind() == Value::Kind::integer) {
        std::int64_t i = from.asInteger();
        std::int64_t last = to.asInteger();
        std::int64_t increment = by.asInteger();
        if (increment == 0) {
            throw ScriptError("A repeat step can't be zero.", errnum::kCantMakeType);
        }
        while (!stop && (increment > 0 ? i <= last : i >= last)) {
            variables_[stmt.variable] = Value::integer(i);
            if (execRepeatBody(stmt.body, stop) == Flow::returned) {
                return Flow::returned;
            }
            if (__builtin_add_overflow(i, increment, &i)) {
                break;
            }
        }
        return Flow::normal;
    }
    double i = toNumber(from);
    double last = toNumber(to);
    double increment = toNumber(by);
    if (increment == 0 || !std::isfinite(increment) || !std::isfinite(i)) {
        throw ScriptError("A repeat step can't be zero.", errnum::kCantMakeType);
    }
    while (!stop && (increment > 0 ? i <= last : i >= last)) {
        variables_[stmt.variable] = Value::real(i);
        if (execRepeatBody(stmt.body, stop) == Flow::returned) {
            return Flow::returned;
        }
        i += increment;
    }
    return Flow::normal;
}

void Evaluator::execDelay(const Stmt& stmt) {
    Value argument = stmt.a ? eval(*stmt.a) : Value::integer(0);
    double seconds = toNumber(argument);
    if (std::isnan(seconds)) {
        throw ScriptError("Can't make " + describe(argument) + " into a delay.",
                          errnum::kCantMakeType);
    }
    if (seconds <= 0) {
        return;
    }
    double budget = std::chrono::duration<double>(limits_.maxTotalDelay - delayed_).count();
    if (seconds > budget) {
        throw ScriptAbort("The script waited too long and was stopped.");
    }
    auto duration =
        std::chrono::duration_cast<Clock::Duration>(std::chrono::duration<double>(seconds));
    delayed_ += duration;
    clock_.sleepFor(duration);
}

void Evaluator::assign(const Expr& target, const Value& value) {
    if (target.kind == Expr::Kind::term) {
        variables_[target.name] = value;
        return;
    }
    Value container = eval(*target.b);
    if (container.kind() == Value::Kind::object && container.asObject() &&
        container.asObject()->setProperty(target.name, value)) {
        return;
    }
    throw ScriptError("Can't set " + target.display + " of " + describe(container) + " to " +
                          describe(value) + ".",
                      errnum::kCantSet);
}

// --- expressions ------------------------------------------------------------------------

Value Evaluator::eval(const Expr& expr) {
    switch (expr.kind) {
        case Expr::Kind::literal:
            return expr.value;
        case Expr::Kind::list: {
            std::vector<Value> items;
            items.reserve(expr.items.size());
            for (const auto& item : expr.items) {
                items.push_back(eval(*item));
            }
            return checked(Value::list(std::move(items)));
        }
        case Expr::Kind::record: {
            Record record;
            for (std::size_t i = 0; i < expr.items.size(); ++i) {
                record.set(expr.keys[i], eval(*expr.items[i]));
            }
            return checked(Value::record(std::move(record)));
        }
        case Expr::Kind::term:
            return evalTerm(expr);
        case Expr::Kind::application:
            return evalApplication(expr);
        case Expr::Kind::specifier:
            return evalSpecifier(expr);
        case Expr::Kind::binary:
            return evalBinary(expr);
        case Expr::Kind::unary:
            return evalUnary(expr);
        case Expr::Kind::coerce:
            return evalCoerce(expr);
        case Expr::Kind::count:
            return evalCount(expr);
        case Expr::Kind::command:
            return evalCommand(expr);
        case Expr::Kind::makeNew:
            return evalMakeNew(expr);
        case Expr::Kind::shell:
            return evalShell(expr);
    }
    return Value();
}

Value Evaluator::evalTerm(const Expr& expr) {
    if (auto it = variables_.find(expr.name); it != variables_.end()) {
        return it->second;
    }
    for (auto target = tellTargets_.rbegin(); target != tellTargets_.rend(); ++target) {
        if (auto value = (*target)->property(expr.name)) {
            return checked(*value);
        }
    }
    throw ScriptError("The variable " + expr.display + " is not defined.",
                      errnum::kUndefinedVariable);
}

Value Evaluator::evalApplication(const Expr& expr) {
    std::string name = toText(eval(*expr.a));
    ObjectRef application = applications_.find(name);
    if (!application) {
        throw ScriptError("Can't get application \"" + name + "\".", errnum::kCantGet);
    }
    return Value::object(std::move(application));
}

std::string Evaluator::describeSpecifier(const Expr& expr) {
    switch (expr.form) {
        case SpecifierForm::property:
            return expr.display;
        case SpecifierForm::every:
            return "every " + expr.name;
        default:
            return expr.name;
    }
}

Value Evaluator::evalSpecifier(const Expr& expr) {
    if (expr.b) {
        Value container = eval(*expr.b);
        if (auto value = applySpecifier(expr, container)) {
            return checked(*value);
        }
        throw ScriptError(
            "Can't get " + describeSpecifier(expr) + " of " + describe(container) + ".",
            errnum::kCantGet);
    }
    for (auto target = tellTargets_.rbegin(); target != tellTargets_.rend(); ++target) {
        if (auto value = applyToObject(expr, *target)) {
            return checked(*value);
        }
    }
    throw ScriptError("Can't get " + describeSpecifier(expr) + ".", errnum::kCantGet);
}

std::optional<Value> Evaluator::applySpecifier(const Expr& expr, const Value& container) {
    switch (container.kind()) {
        case Value::Kind::object:
            if (!container.asObject()) {
                return std::nullopt;
            }
            return applyToObject(expr, container.asObject());
        case Value::Kind::list:
            return applyToList(expr, container.asList());
        case Value::Kind::text:
            return applyToText(expr, container.asText());
        case Value::Kind::record:
            if (expr.form != SpecifierForm::property) {
                return std::nullopt;
            }
            if (const Value* field = container.asRecord().find(expr.name)) {
                return *field;
            }
            if (expr.name == "length") {
                return Value::integer(static_cast<std::int64_t>(container.asRecord().size()));
            }
            return std::nullopt;
        case Value::Kind::alias:
            if (expr.form == SpecifierForm::property && expr.name == "posix path") {
                return Value::text(container.asAliasPath());
            }
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

std::optional<Value> Evaluator::applyToObject(const Expr& expr, const ObjectRef& object) {
    if (expr.form == SpecifierForm::property) {
        return object->property(expr.name);
    }
    auto elements = object->elements(expr.name);
    if (!elements) {
        return std::nullopt;
    }
    std::vector<Value> values;
    values.reserve(elements->size());
    for (auto& element : *elements) {
        values.push_back(Value::object(std::move(element)));
    }
    if (expr.form == SpecifierForm::every) {
        return Value::list(std::move(values));
    }
    return pick(expr, values, object->describe());
}

std::optional<Value> Evaluator::applyToList(const Expr& expr, const std::vector<Value>& items) {
    switch (expr.form) {
        case SpecifierForm::property: {
            if (expr.name == "length" || expr.name == "count") {
                return Value::integer(static_cast<std::int64_t>(items.size()));
            }
            if (expr.name == "rest") {
                return Value::list(items.empty()
                                       ? std::vector<Value>{}
                                       : std::vector<Value>(items.begin() + 1, items.end()));
            }
            if (expr.name == "reverse") {
                return Value::list(std::vector<Value>(items.rbegin(), items.rend()));
            }
            // `name of processes`: the property of every item.
            std::vector<Value> out;
            out.reserve(items.size());
            for (const Value& item : items) {
                auto value = applySpecifier(expr, item);
                if (!value) {
                    return std::nullopt;
                }
                out.push_back(std::move(*value));
            }
            return Value::list(std::move(out));
        }
        case SpecifierForm::every:
            if (expr.name == "item") {
                return Value::list(items);
            }
            return std::nullopt;
        default:
            if (expr.name == "item") {
                return pick(expr, items, describe(Value::list(items)));
            }
            return std::nullopt;
    }
}

std::optional<Value> Evaluator::applyToText(const Expr& expr, const std::string& text) {
    if (expr.form == SpecifierForm::property) {
        if (expr.name == "length") {
            return Value::integer(static_cast<std::int64_t>(utf8Characters(text).size()));
        }
        return std::nullopt;
    }
    auto parts = textElements(expr.name, text);
    if (!parts) {
        return std::nullopt;
    }
    if (expr.form == SpecifierForm::every) {
        return Value::list(textList(*parts));
    }
    return pick(expr, textList(*parts), describe(Value::text(text)));
}

Value Evaluator::pick(const Expr& expr, const std::vector<Value>& elements,
                      const std::string& owner) {
    Value selector = eval(*expr.a);
    auto notFound = [&](const std::string& extra, int number) -> ScriptError {
        return ScriptError(
            "Can't get " + expr.name + " " + describe(selector) + " of " + owner + "." + extra,
            number);
    };
    bool byName = expr.form == SpecifierForm::name ||
                  (expr.form == SpecifierForm::index && selector.kind() == Value::Kind::text);
    if (byName || expr.form == SpecifierForm::id) {
        std::string key = expr.form == SpecifierForm::id ? "id" : "name";
        for (const Value& element : elements) {
            if (element.kind() != Value::Kind::object || !element.asObject()) {
                continue;
            }
            auto value = element.asObject()->property(key);
            if (value && valuesEqual(*value, selector)) {
                return element;
            }
        }
        throw notFound("", errnum::kCantGet);
    }
    std::int64_t index = toInteger(selector);
    auto count = static_cast<std::int64_t>(elements.size());
    if (index == 0 || index > count || index < -count) {
        throw notFound(" Invalid index.", errnum::kInvalidIndex);
    }
    return elements[static_cast<std::size_t>(index > 0 ? index - 1 : count + index)];
}

Value Evaluator::evalBinary(const Expr& expr) {
    if (expr.binaryOp == BinaryOp::andOp) {
        return Value::boolean(toBoolean(eval(*expr.a)) && toBoolean(eval(*expr.b)));
    }
    if (expr.binaryOp == BinaryOp::orOp) {
        return Value::boolean(toBoolean(eval(*expr.a)) || toBoolean(eval(*expr.b)));
    }
    Value left = eval(*expr.a);
    Value right = eval(*expr.b);
    switch (expr.binaryOp) {
        case BinaryOp::equal:
            return Value::boolean(valuesEqual(left, right));
        case BinaryOp::notEqual:
            return Value::boolean(!valuesEqual(left, right));
        case BinaryOp::less:
            return Value::boolean(compareValues(left, right) < 0);
        case BinaryOp::greater:
            return Value::boolean(compareValues(left, right) > 0);
        case BinaryOp::lessOrEqual:
            return Value::boolean(compareValues(left, right) <= 0);
        case BinaryOp::greaterOrEqual:
            return Value::boolean(compareValues(left, right) >= 0);
        case BinaryOp::contains:
            return Value::boolean(containsValue(left, right));
        case BinaryOp::notContains:
            return Value::boolean(!containsValue(left, right));
        case BinaryOp::isIn:
            return Value::boolean(containsValue(right, left));
        case BinaryOp::notIn:
            return Value::boolean(!containsValue(right, left));
        case BinaryOp::startsWith:
            return Value::boolean(edgeMatches(left, right, true));
        case BinaryOp::endsWith:
            return Value::boolean(edgeMatches(left, right, false));
        case BinaryOp::concat: {
            // Check the size before building, so doubling a value cannot outrun the limit.
            if (left.weight() + right.weight() > limits_.maxValueWeight) {
                throw ScriptAbort("A value of the script grew too large.");
            }
            return checked(concatenate(left, right));
        }
        default:
            return arithmetic(expr.binaryOp, left, right);
    }
}

Value Evaluator::evalUnary(const Expr& expr) {
    Value operand = eval(*expr.a);
    switch (expr.unaryOp) {
        case UnaryOp::notOp:
            return Value::boolean(!toBoolean(operand));
        case UnaryOp::plus:
            return numeric(operand);
        case UnaryOp::negate: {
            Value number = numeric(operand);
            if (number.kind() == Value::Kind::integer &&
                number.asInteger() != std::numeric_limits<std::int64_t>::min()) {
                return Value::integer(-number.asInteger());
            }
            return Value::real(-toNumber(number));
        }
    }
    return Value();
}

Value Evaluator::evalCoerce(const Expr& expr) {
    Value value = eval(*expr.a);
    const std::string& type = expr.name;
    if (type == "text" || type == "string" || type == "unicode text") {
        return checked(Value::text(toText(value)));
    }
    if (type == "integer") {
        return Value::integer(toInteger(value));
    }
    if (type == "real") {
        return Value::real(toNumber(value));
    }
    if (type == "number") {
        return numeric(value);
    }
    if (type == "boolean") {
        return Value::boolean(toBoolean(value));
    }
    if (type == "list") {
        return Value::list(toList(value));
    }
    if (type == "record" && value.kind() == Value::Kind::record) {
        return value;
    }
    if (type == "alias") {
        if (value.kind() == Value::Kind::alias) {
            return value;
        }
        if (value.kind() == Value::Kind::object && value.asObject()) {
            auto coerced = value.asObject()->coerce("alias");
            if (coerced && coerced->kind() == Value::Kind::alias) {
                return *coerced;
            }
        }
    }
    throw ScriptError("Can't make " + describe(value) + " into type " + type + ".",
                      errnum::kCantMakeType);
}

Value Evaluator::evalCount(const Expr& expr) {
    Value value = eval(*expr.a);
    switch (value.kind()) {
        case Value::Kind::list:
            return Value::integer(static_cast<std::int64_t>(value.asList().size()));
        case Value::Kind::text:
            return Value::integer(static_cast<std::int64_t>(utf8Characters(value.asText()).size()));
        case Value::Kind::record:
            return Value::integer(static_cast<std::int64_t>(value.asRecord().size()));
        case Value::Kind::object:
        case Value::Kind::nothing:
            throw ScriptError("Can't count " + describe(value) + ".", errnum::kCantGet);
        default:
            return Value::integer(1);
    }
}

Value Evaluator::evalCommand(const Expr& expr) {
    Value direct = expr.a ? eval(*expr.a) : Value();
    Record labelled;
    if (expr.b) {
        labelled.set("using", eval(*expr.b));
    }
    if (expr.name == "activate" && direct.kind() == Value::Kind::object && direct.asObject()) {
        if (auto result = direct.asObject()->perform("activate", Value(), labelled)) {
            return *result;
        }
        throw ScriptError(
            direct.asObject()->describe() + " doesn't understand the \"activate\" message.",
            errnum::kNotUnderstood);
    }
    for (auto target = tellTargets_.rbegin(); target != tellTargets_.rend(); ++target) {
        if (auto result = (*target)->perform(expr.name, direct, labelled)) {
            return checked(*result);
        }
    }
    if (tellTargets_.empty()) {
        throw ScriptError("\"" + expr.name + "\" must be sent to an application.",
                          errnum::kNotUnderstood);
    }
    throw ScriptError(
        tellTargets_.back()->describe() + " doesn't understand the \"" + expr.name + "\" message.",
        errnum::kNotUnderstood);
}

Value Evaluator::evalMakeNew(const Expr& expr) {
    Record properties;
    if (expr.a) {
        Value value = eval(*expr.a);
        if (value.kind() != Value::Kind::record) {
            throw ScriptError("Can't make " + describe(value) + " into type record.",
                              errnum::kCantMakeType);
        }
        properties = value.asRecord();
    }
    if (expr.b) {
        Value at = eval(*expr.b);
        if (at.kind() == Value::Kind::object && at.asObject()) {
            if (auto made = at.asObject()->makeNew(expr.name, properties)) {
                return *made;
            }
        }
        throw ScriptError("Can't make a new " + expr.name + " at " + describe(at) + ".",
                          errnum::kNotUnderstood);
    }
    for (auto target = tellTargets_.rbegin(); target != tellTargets_.rend(); ++target) {
        if (auto made = (*target)->makeNew(expr.name, properties)) {
            return *made;
        }
    }
    throw ScriptError("Can't make a new " + expr.name + ".", errnum::kNotUnderstood);
}

Value Evaluator::evalShell(const Expr& expr) {
    std::string command = toText(eval(*expr.a));
    if (!processes_) {
        throw ScriptError("do shell script is not available here.", errnum::kShellLaunch);
    }
    ProcessResult result = processes_->run("/bin/sh", {"-c", command});
    if (!result.started) {
        throw ScriptError("do shell script could not start the shell: " + result.launchError,
                          errnum::kShellLaunch);
    }
    if (result.exitStatus != 0) {
        std::string message = result.standardError;
        while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
            message.pop_back();
        }
        if (message.empty()) {
            message = "The command exited with status " + std::to_string(result.exitStatus) + ".";
        }
        throw ScriptError(message, result.exitStatus);
    }
    std::string output = result.standardOutput;
    if (!output.empty() && output.back() == '\n') {
        output.pop_back();
    }
    return checked(Value::text(std::move(output)));
}

}  // namespace orvex::script

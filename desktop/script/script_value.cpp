#include "desktop/script/script_value.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "desktop/script/script_error.h"
#include "desktop/script/scriptable_object.h"

namespace orvex::script {

void Record::set(const std::string& key, Value value) {
    std::string folded = foldCase(key);
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        if (keys_[i] == folded) {
            values_[i] = std::move(value);
            return;
        }
    }
    keys_.push_back(std::move(folded));
    values_.push_back(std::move(value));
}

const Value* Record::find(std::string_view key) const {
    std::string folded = foldCase(key);
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        if (keys_[i] == folded) {
            return &values_[i];
        }
    }
    return nullptr;
}

Value Value::boolean(bool b) {
    Value v;
    v.data_ = b;
    return v;
}
Value Value::integer(std::int64_t i) {
    Value v;
    v.data_ = i;
    return v;
}
Value Value::real(double d) {
    Value v;
    v.data_ = d;
    return v;
}
Value Value::text(std::string s) {
    Value v;
    v.weight_ = 1 + s.size() / 16;
    v.data_ = std::move(s);
    return v;
}
Value Value::list(std::vector<Value> items) {
    Value v;
    for (const Value& item : items) {
        v.nesting_ = std::max(v.nesting_, item.nesting_ + 1);
        v.weight_ += item.weight_;
    }
    if (items.empty()) {
        v.nesting_ = 1;
    }
    v.data_ = std::move(items);
    return v;
}
Value Value::record(Record r) {
    Value v;
    v.nesting_ = 1;
    for (const Value& item : r.values()) {
        v.nesting_ = std::max(v.nesting_, item.nesting_ + 1);
        v.weight_ += item.weight_;
    }
    v.data_ = std::move(r);
    return v;
}
Value Value::object(ObjectRef o) {
    Value v;
    v.data_ = std::move(o);
    return v;
}
Value Value::constant(std::string name) {
    Value v;
    v.data_ = Constant{std::move(name)};
    return v;
}
Value Value::alias(std::string posixPath) {
    Value v;
    v.data_ = FileAlias{std::move(posixPath)};
    return v;
}

std::string foldCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

namespace {

[[noreturn]] void cantMake(const Value& value, const std::string& type) {
    throw ScriptError("Can't make " + describe(value) + " into type " + type + ".",
                      errnum::kCantMakeType);
}

std::string trimSpaces(std::string_view s) {
    std::size_t begin = 0;
    std::size_t end = s.size();
    while (begin < end && (s[begin] == ' ' || s[begin] == '\t')) {
        ++begin;
    }
    while (end > begin && (s[end - 1] == ' ' || s[end - 1] == '\t')) {
        --end;
    }
    return std::string(s.substr(begin, end - begin));
}

std::optional<double> parseNumber(std::string_view text) {
    std::string trimmed = trimSpaces(text);
    if (trimmed.empty()) {
        return std::nullopt;
    }
    const char* begin = trimmed.data();
    const char* end = begin + trimmed.size();
    if (*begin == '+') {
        ++begin;
    }
    double value = 0;
    auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::string formatReal(double value) {
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return value > 0 ? "1.0E+308" : "-1.0E+308";
    }
    double magnitude = std::fabs(value);
    char buffer[64];
    if (magnitude != 0 && (magnitude >= 1e4 || magnitude < 1e-4)) {
        int exponent = static_cast<int>(std::floor(std::log10(magnitude)));
        double mantissa = value / std::pow(10.0, exponent);
        if (std::fabs(mantissa) >= 10.0) {
            mantissa /= 10.0;
            ++exponent;
        }
        std::snprintf(buffer, sizeof buffer, "%.12g", mantissa);
        std::string text = buffer;
        if (text.find('.') == std::string::npos) {
            text += ".0";
        }
        std::snprintf(buffer, sizeof buffer, "E%+d", exponent);
        return text + buffer;
    }
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    std::string text = buffer;
    if (text.find('.') == std::string::npos) {
        text += ".0";
    }
    return text;
}

std::string describe(const Value& value) {
    switch (value.kind()) {
        case Value::Kind::nothing:
            return "nothing";
        case Value::Kind::boolean:
            return value.asBoolean() ? "true" : "false";
        case Value::Kind::integer:
            return std::to_string(value.asInteger());
        case Value::Kind::real:
            return formatReal(value.asReal());
        case Value::Kind::text:
            return "\"" + value.asText() + "\"";
        case Value::Kind::list: {
            std::string out = "{";
            const auto& items = value.asList();
            for (std::size_t i = 0; i < items.size(); ++i) {
                if (i > 0) {
                    out += ", ";
                }
                if (out.size() > 200) {
                    out += "...";
                    break;
                }
                out += describe(items[i]);
            }
            return out + "}";
        }
        case Value::Kind::record: {
            std::string out = "{";
            const Record& record = value.asRecord();
            for (std::size_t i = 0; i < record.size(); ++i) {
                if (i > 0) {
                    out += ", ";
                }
                out += record.keys()[i] + ":" + describe(record.values()[i]);
            }
            return out + "}";
        }
        case Value::Kind::object:
            return value.asObject() ? value.asObject()->describe() : "missing value";
        case Value::Kind::constant:
            return value.asConstant();
        case Value::Kind::alias:
            return "alias \"" + value.asAliasPath() + "\"";
    }
    return "?";
}

std::optional<std::string> stringValueOf(const Value& value) {
    switch (value.kind()) {
        case Value::Kind::boolean:
        case Value::Kind::integer:
        case Value::Kind::real:
        case Value::Kind::text:
            return toText(value);
        case Value::Kind::alias:
            return value.asAliasPath();
        default:
            return std::nullopt;
    }
}

std::string toText(const Value& value) {
    switch (value.kind()) {
        case Value::Kind::boolean:
            return value.asBoolean() ? "true" : "false";
        case Value::Kind::integer:
            return std::to_string(value.asInteger());
        case Value::Kind::real:
            return formatReal(value.asReal());
        case Value::Kind::text:
            return value.asText();
        case Value::Kind::list: {
            std::string out;
            for (const Value& item : value.asList()) {
                out += toText(item);
            }
            return out;
        }
        case Value::Kind::alias:
            return value.asAliasPath();
        case Value::Kind::constant:
            if (value.asConstant() == "missing value") {
                return "missing value";
            }
            break;
        case Value::Kind::object:
            if (value.asObject()) {
                if (auto coerced = value.asObject()->coerce("text")) {
                    if (coerced->kind() == Value::Kind::text) {
                        return coerced->asText();
                    }
                }
            }
            break;
        default:
            break;
    }
    cantMake(value, "text");
}

double toNumber(const Value& value) {
    switch (value.kind()) {
        case Value::Kind::integer:
            return static_cast<double>(value.asInteger());
        case Value::Kind::real:
            return value.asReal();
        case Value::Kind::text:
            if (auto number = parseNumber(value.asText())) {
                return *number;
            }
            break;
        case Value::Kind::list:
            if (value.asList().size() == 1) {
                return toNumber(value.asList().front());
            }
            break;
        default:
            break;
    }
    cantMake(value, "number");
}

std::int64_t toInteger(const Value& value) {
    if (value.kind() == Value::Kind::integer) {
        return value.asInteger();
    }
    if (value.kind() == Value::Kind::text) {
        std::string trimmed = trimSpaces(value.asText());
        std::int64_t parsed = 0;
        const char* begin = trimmed.data();
        const char* end = begin + trimmed.size();
        if (begin != end && *begin == '+') {
            ++begin;
        }
        auto [ptr, ec] = std::from_chars(begin, end, parsed);
        if (begin != end && ec == std::errc() && ptr == end) {
            return parsed;
        }
    }
    double number = toNumber(value);
    double rounded = std::nearbyint(number);
    if (!(rounded >= -9.2e18 && rounded <= 9.2e18)) {
        cantMake(value, "integer");
    }
    return static_cast<std::int64_t>(rounded);
}

bool toBoolean(const Value& value) {
    if (value.kind() == Value::Kind::boolean) {
        return value.asBoolean();
    }
    if (value.kind() == Value::Kind::text) {
        std::string folded = foldCase(trimSpaces(value.asText()));
        if (folded == "true") {
            return true;
        }
        if (folded == "false") {
            return false;
        }
    }
    if (value.kind() == Value::Kind::list && value.asList().size() == 1) {
        return toBoolean(value.asList().front());
    }
    cantMake(value, "boolean");
}

std::vector<Value> toList(const Value& value) {
    switch (value.kind()) {
        case Value::Kind::list:
            return value.asList();
        case Value::Kind::record:
            return value.asRecord().values();
        case Value::Kind::nothing:
            cantMake(value, "list");
        default:
            return {value};
    }
}

bool valuesEqual(const Value& a, const Value& b) {
    if (a.isNumber() && b.isNumber()) {
        if (a.kind() == Value::Kind::integer && b.kind() == Value::Kind::integer) {
            return a.asInteger() == b.asInteger();
        }
        return toNumber(a) == toNumber(b);
    }
    if (a.kind() != b.kind()) {
        return false;
    }
    switch (a.kind()) {
        case Value::Kind::nothing:
            return true;
        case Value::Kind::boolean:
            return a.asBoolean() == b.asBoolean();
        case Value::Kind::text:
            return foldCase(a.asText()) == foldCase(b.asText());
        case Value::Kind::list: {
            const auto& x = a.asList();
            const auto& y = b.asList();
            if (x.size() != y.size()) {
                return false;
            }
            for (std::size_t i = 0; i < x.size(); ++i) {
                if (!valuesEqual(x[i], y[i])) {
                    return false;
                }
            }
            return true;
        }
        case Value::Kind::record: {
            const Record& x = a.asRecord();
            const Record& y = b.asRecord();
            if (x.size() != y.size()) {
                return false;
            }
            for (std::size_t i = 0; i < x.size(); ++i) {
                const Value* other = y.find(x.keys()[i]);
                if (!other || !valuesEqual(x.values()[i], *other)) {
                    return false;
                }
            }
            return true;
        }
        case Value::Kind::object: {
            const auto& x = a.asObject();
            const auto& y = b.asObject();
            if (!x || !y) {
                return x == y;
            }
            return x->sameObject(*y);
        }
        case Value::Kind::constant:
            return a.asConstant() == b.asConstant();
        case Value::Kind::alias:
            return a.asAliasPath() == b.asAliasPath();
        default:
            return false;
    }
}

int compareValues(const Value& a, const Value& b) {
    auto order = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
    if (a.isNumber()) {
        if (a.kind() == Value::Kind::integer && b.kind() == Value::Kind::integer) {
            return order(a.asInteger(), b.asInteger());
        }
        return order(toNumber(a), toNumber(b));
    }
    if (a.kind() == Value::Kind::text) {
        return order(foldCase(a.asText()), foldCase(toText(b)));
    }
    throw ScriptError("Can't compare " + describe(a) + " with " + describe(b) + ".",
                      errnum::kCantMakeType);
}

}  // namespace orvex::script

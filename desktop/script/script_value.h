#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace orvex::script {

class ScriptObject;
using ObjectRef = std::shared_ptr<ScriptObject>;
class Value;

// Labelled values such as {URL:"https://example.com"}. Keys are stored lower-case, since
// terms are case-insensitive; order is kept as written.
class Record {
  public:
    void set(const std::string& key, Value value);
    const Value* find(std::string_view key) const;
    std::size_t size() const { return keys_.size(); }
    const std::vector<std::string>& keys() const { return keys_; }
    const std::vector<Value>& values() const { return values_; }

  private:
    std::vector<std::string> keys_;
    std::vector<Value> values_;
};

// An enumerated constant such as `command down` or `missing value`.
struct Constant {
    std::string name;
};

// A file-system location (what `as alias` produces).
struct FileAlias {
    std::string posixPath;
};

// One script value.
class Value {
  public:
    enum class Kind {
        nothing,
        boolean,
        integer,
        real,
        text,
        list,
        record,
        object,
        constant,
        alias
    };

    Value() = default;
    static Value boolean(bool b);
    static Value integer(std::int64_t i);
    static Value real(double d);
    static Value text(std::string s);
    static Value list(std::vector<Value> items);
    static Value record(Record r);
    static Value object(ObjectRef o);
    static Value constant(std::string name);
    static Value alias(std::string posixPath);

    Kind kind() const { return static_cast<Kind>(data_.index()); }
    bool isNothing() const { return kind() == Kind::nothing; }
    bool isNumber() const { return kind() == Kind::integer || kind() == Kind::real; }

    bool asBoolean() const { return std::get<bool>(data_); }
    std::int64_t asInteger() const { return std::get<std::int64_t>(data_); }
    double asReal() const { return std::get<double>(data_); }
    const std::string& asText() const { return std::get<std::string>(data_); }
    const std::vector<Value>& asList() const { return std::get<std::vector<Value>>(data_); }
    const Record& asRecord() const { return std::get<Record>(data_); }
    const ObjectRef& asObject() const { return std::get<ObjectRef>(data_); }
    const std::string& asConstant() const { return std::get<Constant>(data_).name; }
    const std::string& asAliasPath() const { return std::get<FileAlias>(data_).posixPath; }

    // How deeply lists and records nest inside this value (0 for a plain value), and a rough
    // measure of its size (items, plus text length in 16-byte units). Kept up to date as
    // values are built, so limits can be checked without walking the value.
    std::size_t nesting() const { return nesting_; }
    std::size_t weight() const { return weight_; }

  private:
    // The order of the alternatives follows Kind.
    std::variant<std::monostate, bool, std::int64_t, double, std::string, std::vector<Value>,
                 Record, ObjectRef, Constant, FileAlias>
        data_;
    std::size_t nesting_ = 0;
    std::size_t weight_ = 1;
};

// Lower-cases ASCII letters; terms and default text comparisons ignore case.
std::string foldCase(std::string_view text);

// How a value reads inside an error message: "window 1 of application \"X\"", "{1, 2}".
std::string describe(const Value& value);

// The result as a host hands it on: text, numbers and booleans have one, everything else
// (lists, records, object references, no result) has none.
std::optional<std::string> stringValueOf(const Value& value);

// Coercions; each throws ScriptError(kCantMakeType) when the value has no such form.
std::string toText(const Value& value);
double toNumber(const Value& value);
std::int64_t toInteger(const Value& value);
bool toBoolean(const Value& value);
std::vector<Value> toList(const Value& value);

// How a real number is written: "0.3", "2.0", "1.0E+20".
std::string formatReal(double value);

// Equality with the default considerations: text ignores case, numbers compare by value,
// objects by identity.
bool valuesEqual(const Value& a, const Value& b);
// Ordering for <, >, <= and >=: numbers and text (ignoring case); anything else throws.
int compareValues(const Value& a, const Value& b);

}  // namespace orvex::script

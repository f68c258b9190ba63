#include "protocol/field_reader.h"

#include <cmath>
#include <limits>

namespace orvex {

FieldReader::FieldReader(const Json& json, std::string path) : json_(json), path_(std::move(path)) {
    if (!json_.is_object()) {
        error_ = path_ + ": must be a JSON object, not " + json_.type_name();
    }
}

const Json* FieldReader::find(const char* key, bool required) {
    if (error_) {
        return nullptr;
    }
    auto it = json_.find(key);
    if (it == json_.end() || it->is_null()) {
        if (required) {
            error_ = path_ + ": key \"" + key + "\" is missing";
        }
        return nullptr;
    }
    return &*it;
}

void FieldReader::wrongType(const char* key, const char* expected, const Json& actual) {
    if (!error_) {
        error_ =
            path_ + ": key \"" + key + "\" must be " + expected + ", not " + actual.type_name();
    }
}

std::string FieldReader::childPath(const char* key) const {
    return path_ + "." + key;
}

void FieldReader::string(const char* key, std::string& out) {
    if (const Json* value = find(key, true)) {
        if (value->is_string()) {
            out = value->get<std::string>();
        } else {
            wrongType(key, "a string", *value);
        }
    }
}

void FieldReader::boolean(const char* key, bool& out) {
    if (const Json* value = find(key, true)) {
        if (value->is_boolean()) {
            out = value->get<bool>();
        } else {
            wrongType(key, "a boolean", *value);
        }
    }
}

void FieldReader::optionalBoolean(const char* key, bool& out) {
    if (const Json* value = find(key, false)) {
        if (value->is_boolean()) {
            out = value->get<bool>();
        } else {
            wrongType(key, "a boolean", *value);
        }
    }
}

void FieldReader::integer(const char* key, std::int64_t& out) {
    const Json* value = find(key, true);
    if (!value) {
        return;
    }
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    if (value->is_number_unsigned()) {
        auto number = value->get<std::uint64_t>();
        if (number <= static_cast<std::uint64_t>(kMax)) {
            out = static_cast<std::int64_t>(number);
            return;
        }
    } else if (value->is_number_integer()) {
        out = value->get<std::int64_t>();
        return;
    } else if (value->is_number_float()) {
        // Another writer may spell a count as 3.0; a fraction or an overflow is no count.
        double number = value->get<double>();
        if (std::trunc(number) == number && number >= -9.2e18 && number <= 9.2e18) {
            out = static_cast<std::int64_t>(number);
            return;
        }
    }
    wrongType(key, "an integer", *value);
}

void FieldReader::stringList(const char* key, std::vector<std::string>& out) {
    const Json* value = find(key, true);
    if (!value) {
        return;
    }
    if (!value->is_array()) {
        wrongType(key, "a list of strings", *value);
        return;
    }
    std::vector<std::string> strings;
    for (const Json& element : *value) {
        if (!element.is_string()) {
            wrongType(key, "a list of strings", element);
            return;
        }
        strings.push_back(element.get<std::string>());
    }
    out = std::move(strings);
}

void FieldReader::stringMap(const char* key, std::map<std::string, std::string>& out) {
    const Json* value = find(key, true);
    if (!value) {
        return;
    }
    if (!value->is_object()) {
        wrongType(key, "an object of strings", *value);
        return;
    }
    std::map<std::string, std::string> strings;
    for (const auto& [name, element] : value->items()) {
        if (!element.is_string()) {
            if (!error_) {
                error_ = path_ + ": value of \"" + key + "." + name + "\" must be a string, not " +
                         element.type_name();
            }
            return;
        }
        strings.emplace(name, element.get<std::string>());
    }
    out = std::move(strings);
}

void FieldReader::optionalString(const char* key, std::optional<std::string>& out) {
    if (const Json* value = find(key, false)) {
        if (value->is_string()) {
            out = value->get<std::string>();
        } else {
            wrongType(key, "a string", *value);
        }
    }
}

}  // namespace orvex

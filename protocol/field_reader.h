#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/json.h"
#include "protocol/decode_result.h"

namespace orvex {

// Reads the keys of one JSON object by the exchange's rules: a required key that is missing,
// null or of the wrong type makes the record unreadable; an optional key may be absent or
// null, but a present value of the wrong type is as unreadable as a wrong required one;
// unknown keys are never looked at. The first problem is kept, with the key's path, for the
// log line that says why a file was dropped.
class FieldReader {
  public:
    FieldReader(const Json& json, std::string path);

    bool ok() const { return !error_; }
    const std::string& error() const { return *error_; }

    void string(const char* key, std::string& out);
    void boolean(const char* key, bool& out);
    void integer(const char* key, std::int64_t& out);
    void stringList(const char* key, std::vector<std::string>& out);
    // Every value must be a string; a number, boolean or null among them fails the record.
    void stringMap(const char* key, std::map<std::string, std::string>& out);
    void optionalString(const char* key, std::optional<std::string>& out);
    // Leaves `out` as it is when the key is absent or null.
    void optionalBoolean(const char* key, bool& out);

    // A nested record, read by `decode(json, path)` returning a DecodeResult.
    template <typename T, typename Decode>
    void optionalRecord(const char* key, std::optional<T>& out, Decode decode) {
        if (const Json* value = find(key, false)) {
            take(decode(*value, childPath(key)), out);
        }
    }

    template <typename T, typename Decode>
    void optionalRecordList(const char* key, std::optional<std::vector<T>>& out, Decode decode) {
        const Json* value = find(key, false);
        if (!value) {
            return;
        }
        if (!value->is_array()) {
            wrongType(key, "a list", *value);
            return;
        }
        std::vector<T> records;
        std::size_t index = 0;
        for (const Json& element : *value) {
            std::optional<T> record;
            take(decode(element, childPath(key) + "[" + std::to_string(index++) + "]"), record);
            if (!ok()) {
                return;
            }
            records.push_back(std::move(*record));
        }
        out = std::move(records);
    }

    // The record if every key read well, else the first error.
    template <typename T>
    DecodeResult<T> finish(T record) const {
        if (error_) {
            return {std::nullopt, *error_};
        }
        return {std::move(record), {}};
    }

  private:
    // The value of `key`, or nullptr when absent or null (an error if `required`), or when
    // the record itself is not an object (always an error, reported once).
    const Json* find(const char* key, bool required);
    void wrongType(const char* key, const char* expected, const Json& actual);
    std::string childPath(const char* key) const;

    template <typename T>
    void take(DecodeResult<T> result, std::optional<T>& out) {
        if (!error_ && !result.ok()) {
            error_ = std::move(result.error);
        } else if (!error_) {
            out = std::move(result.value);
        }
    }

    const Json& json_;
    std::string path_;
    std::optional<std::string> error_;
};

}  // namespace orvex

#pragma once

#include <optional>
#include <string>

namespace orvex {

// The outcome of reading one protocol record: the record, or why the file is unreadable.
template <typename T>
struct DecodeResult {
    std::optional<T> value;
    std::string error;

    bool ok() const { return value.has_value(); }
};

}  // namespace orvex

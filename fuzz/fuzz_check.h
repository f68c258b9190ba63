#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace orvex::fuzz {

// A property of the input's handling that does not hold: libFuzzer keeps the input as a crash.
inline void check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

inline std::string_view text(const unsigned char* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace orvex::fuzz

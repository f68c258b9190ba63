#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string_view>

namespace orvex::testing {

// scripts/test installs every program the desktop suites use and sets this, so that what
// would elsewhere be a skip (no Chromium, no maim, no session) fails there instead: a green
// run must mean the desktop was tested.
inline bool desktopToolsRequired() {
    const char* value = std::getenv("ORVEX_REQUIRE_DESKTOP_TOOLS");
    return value && std::string_view(value) == "1";
}

}  // namespace orvex::testing

// Skips the test, or fails it when the desktop tools are required. Use in SetUp or a test.
#define ORVEX_SKIP_UNLESS_REQUIRED(reason)                                            \
    do {                                                                              \
        if (::orvex::testing::desktopToolsRequired()) {                               \
            FAIL() << reason << " (ORVEX_REQUIRE_DESKTOP_TOOLS=1: nothing may skip)"; \
        }                                                                             \
        GTEST_SKIP() << reason;                                                       \
    } while (false)

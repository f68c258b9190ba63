#pragma once

#include <cstdint>
#include <optional>

namespace orvex {

// The process of the X11 session's active window (_NET_ACTIVE_WINDOW, then its
// _NET_WM_PID); nothing without a display, an active window or a pid.
std::optional<std::int32_t> x11FrontProcess();

}  // namespace orvex

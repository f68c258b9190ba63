#pragma once

#include <X11/Xlib.h>

#include <optional>
#include <string>
#include <vector>

#include "desktop/linux/x11/window_class.h"

namespace orvex::linux_desktop {

// Readers for window properties. Each gives nothing (an empty list) when the property is
// absent, of another type or format, or the window is gone; callers hold the connection's
// lock and an error trap.

// 32-bit items (CARDINAL, ATOM, WINDOW); Xlib hands them over as longs.
std::vector<unsigned long> readCardinals(Display* display, Window window, Atom property, Atom type);
std::vector<Window> readWindows(Display* display, Window window, Atom property);
std::optional<std::string> readUtf8(Display* display, Window window, Atom property,
                                    Atom utf8String);

std::optional<WindowClass> readWindowClass(Display* display, Window window);

}  // namespace orvex::linux_desktop

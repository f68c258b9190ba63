#pragma once

#include <X11/Xlib.h>

#include <optional>
#include <string>
#include <vector>

namespace orvex::linux_desktop {

// Readers for window properties. Each gives nothing (an empty list) when the property is
// absent, of another type or format, or the window is gone; callers hold the connection's
// lock and an error trap.

// 32-bit items (CARDINAL, ATOM, WINDOW); Xlib hands them over as longs.
std::vector<unsigned long> readCardinals(Display* display, Window window, Atom property,
                                         Atom type);
std::vector<Window> readWindows(Display* display, Window window, Atom property);
std::optional<std::string> readUtf8(Display* display, Window window, Atom property,
                                    Atom utf8String);

// WM_CLASS: instance and class name.
struct WindowClass {
    std::string instance;
    std::string className;
};
std::optional<WindowClass> readWindowClass(Display* display, Window window);

// Splits WM_CLASS's value ("instance\0Class\0") into its two names.
std::optional<WindowClass> parseWindowClass(const std::string& value);

}  // namespace orvex::linux_desktop

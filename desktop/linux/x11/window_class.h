#pragma once

#include <optional>
#include <string>

namespace orvex::linux_desktop {

// WM_CLASS: a window's instance and class name.
struct WindowClass {
    std::string instance;
    std::string className;
};

// Splits WM_CLASS's value ("instance\0Class\0") into its two names.
std::optional<WindowClass> parseWindowClass(const std::string& value);

}  // namespace orvex::linux_desktop

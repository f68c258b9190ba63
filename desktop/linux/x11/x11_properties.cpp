#include "desktop/linux/x11/x11_properties.h"

#include <X11/Xatom.h>

namespace orvex::linux_desktop {

namespace {

struct Property {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned char* data = nullptr;
    ~Property() {
        if (data)
            XFree(data);
    }
};

bool read(Display* display, Window window, Atom property, Atom type, Property& out) {
    unsigned long after = 0;
    // 64 Ki items is far beyond any client list or title; longer values are cut.
    int status = XGetWindowProperty(display, window, property, 0, 65536, False, type, &out.type,
                                    &out.format, &out.count, &after, &out.data);
    return status == Success && out.data && out.type != None;
}

}  // namespace

std::vector<unsigned long> readCardinals(Display* display, Window window, Atom property,
                                         Atom type) {
    Property value;
    if (!read(display, window, property, type, value) || value.type != type || value.format != 32)
        return {};
    auto* items = reinterpret_cast<unsigned long*>(value.data);
    return std::vector<unsigned long>(items, items + value.count);
}

std::vector<Window> readWindows(Display* display, Window window, Atom property) {
    std::vector<Window> out;
    for (unsigned long item : readCardinals(display, window, property, XA_WINDOW))
        out.push_back(static_cast<Window>(item));
    return out;
}

std::optional<std::string> readUtf8(Display* display, Window window, Atom property,
                                    Atom utf8String) {
    Property value;
    if (!read(display, window, property, utf8String, value) || value.type != utf8String ||
        value.format != 8)
        return std::nullopt;
    return std::string(reinterpret_cast<char*>(value.data), value.count);
}

std::optional<WindowClass> parseWindowClass(const std::string& value) {
    auto split = value.find('\0');
    if (split == std::string::npos)
        return std::nullopt;
    WindowClass names;
    names.instance = value.substr(0, split);
    std::string rest = value.substr(split + 1);
    auto end = rest.find('\0');
    names.className = end == std::string::npos ? rest : rest.substr(0, end);
    return names;
}

std::optional<WindowClass> readWindowClass(Display* display, Window window) {
    Property value;
    if (!read(display, window, XA_WM_CLASS, XA_STRING, value) || value.format != 8)
        return std::nullopt;
    return parseWindowClass(std::string(reinterpret_cast<char*>(value.data), value.count));
}

}  // namespace orvex::linux_desktop

#include "tools/inputaim/main/x11_front_process.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace orvex {
namespace {

std::optional<unsigned long> readCardinalLike(Display* display, Window window, const char* name,
                                              Atom type) {
    Atom property = XInternAtom(display, name, True);
    if (property == None) {
        return std::nullopt;
    }
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::optional<unsigned long> value;
    if (XGetWindowProperty(display, window, property, 0, 1, False, type, &actualType, &format,
                           &count, &after, &data) == Success &&
        data && format == 32 && count == 1) {
        value = *reinterpret_cast<unsigned long*>(data);
    }
    if (data) {
        XFree(data);
    }
    return value;
}

int ignoreErrors(Display*, XErrorEvent*) {
    return 0;  // the active window may vanish between the two reads
}

}  // namespace

std::optional<std::int32_t> x11FrontProcess() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        return std::nullopt;
    }
    auto previous = XSetErrorHandler(ignoreErrors);
    std::optional<std::int32_t> pid;
    auto active =
        readCardinalLike(display, DefaultRootWindow(display), "_NET_ACTIVE_WINDOW", XA_WINDOW);
    if (active && *active != None) {
        if (auto owner = readCardinalLike(display, *active, "_NET_WM_PID", XA_CARDINAL)) {
            pid = static_cast<std::int32_t>(*owner);
        }
    }
    XSync(display, False);
    XSetErrorHandler(previous);
    XCloseDisplay(display);
    return pid;
}

}  // namespace orvex

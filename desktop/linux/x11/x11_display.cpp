#include "desktop/linux/x11/x11_display.h"

#include <X11/Xatom.h>

#include <cstdlib>
#include <vector>

#include "base/log.h"
#include "desktop/linux/x11/x11_properties.h"

namespace orvex::linux_desktop {

namespace {

// Traps by connection. Xlib has one error handler per process; it hands each error to the
// trap open on that connection, and drops errors nobody asked about (a window that went
// away between two requests is normal on a desktop).
std::mutex trapsMutex;
std::map<Display*, X11ErrorTrap*>& traps() {
    static std::map<Display*, X11ErrorTrap*> all;
    return all;
}

int handleError(Display* display, XErrorEvent* event) {
    std::lock_guard lock(trapsMutex);
    auto found = traps().find(display);
    if (found != traps().end())
        found->second->record(event->error_code);
    return 0;
}

int handleIoError(Display*) {
    // Xlib ends the process after this returns; say why first.
    log::system("[X11] Connection to the X server lost");
    return 0;
}

void installHandlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        XInitThreads();
        XSetErrorHandler(handleError);
        XSetIOErrorHandler(handleIoError);
    });
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

bool waylandSession() {
    return !environment("WAYLAND_DISPLAY").empty() || environment("XDG_SESSION_TYPE") == "wayland";
}

std::unique_ptr<X11Display> X11Display::open(std::string* problem) {
    const std::string display = environment("DISPLAY");
    if (display.empty()) {
        if (waylandSession()) {
            *problem =
                "this is a Wayland session without XWayland (DISPLAY is not set): the Linux "
                "desktop backend needs an X11 display for key grabs, synthetic input and "
                "window activation";
        } else {
            *problem = "no X display: DISPLAY is not set";
        }
        return nullptr;
    }
    installHandlers();
    Display* raw = XOpenDisplay(display.c_str());
    if (!raw) {
        *problem = "cannot open the X display \"" + display + "\"";
        return nullptr;
    }
    return std::unique_ptr<X11Display>(new X11Display(raw));
}

X11Display::~X11Display() {
    XCloseDisplay(display_);
}

Atom X11Display::atom(const char* name) {
    auto found = atoms_.find(name);
    if (found != atoms_.end())
        return found->second;
    Atom value = XInternAtom(display_, name, False);
    atoms_.emplace(name, value);
    return value;
}

X11ErrorTrap::X11ErrorTrap(Display* display) : display_(display) {
    installHandlers();
    std::lock_guard lock(trapsMutex);
    // Toolkits set a handler of their own when they start (Qt's ignores every error), so
    // ours is put back each time it is needed.
    XSetErrorHandler(handleError);
    traps()[display_] = this;
}

X11ErrorTrap::~X11ErrorTrap() {
    XSync(display_, False);
    std::lock_guard lock(trapsMutex);
    traps().erase(display_);
}

int X11ErrorTrap::sync() {
    XSync(display_, False);
    return firstError_;
}

std::optional<std::string> windowManagerName(X11Display& display, std::string* problem) {
    auto lock = display.lock();
    X11ErrorTrap trap(display.raw());
    Atom check = display.atom("_NET_SUPPORTING_WM_CHECK");
    auto owner = readWindows(display.raw(), display.root(), check);
    // The check window names itself: a stale property left by a window manager that has
    // gone does not.
    std::vector<Window> self;
    if (!owner.empty())
        self = readWindows(display.raw(), owner.front(), check);
    if (owner.empty() || self.empty() || self.front() != owner.front()) {
        *problem =
            "no window manager is running: the Linux desktop backend needs an EWMH window "
            "manager (for example openbox) for the active window and for activation";
        return std::nullopt;
    }
    Atom supported = display.atom("_NET_SUPPORTED");
    std::vector<unsigned long> atoms =
        readCardinals(display.raw(), display.root(), supported, XA_ATOM);
    for (const char* needed : {"_NET_ACTIVE_WINDOW", "_NET_CLIENT_LIST"}) {
        Atom want = display.atom(needed);
        bool found = false;
        for (unsigned long value : atoms)
            found = found || value == want;
        if (!found) {
            *problem = std::string("the window manager does not support ") + needed +
                       ": the Linux desktop backend needs an EWMH window manager";
            return std::nullopt;
        }
    }
    std::string name = readUtf8(display.raw(), owner.front(), display.atom("_NET_WM_NAME"),
                                display.atom("UTF8_STRING"))
                           .value_or("");
    return name.empty() ? std::string("unnamed window manager") : name;
}

std::optional<std::string> x11SessionProblem() {
    std::string problem;
    auto display = X11Display::open(&problem);
    if (!display)
        return problem;
    if (!windowManagerName(*display, &problem))
        return problem;
    return std::nullopt;
}

}  // namespace orvex::linux_desktop

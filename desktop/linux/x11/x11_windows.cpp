#include "desktop/linux/x11/x11_windows.h"

#include <X11/Xatom.h>

namespace orvex::linux_desktop {

ClientWindow describeWindow(X11Display& connection, Window window) {
    Display* display = connection.raw();
    ClientWindow client;
    client.id = window;
    auto pid = readCardinals(display, window, connection.atom("_NET_WM_PID"), XA_CARDINAL);
    if (!pid.empty())
        client.pid = static_cast<std::int32_t>(pid.front());
    client.windowClass = readWindowClass(display, window);
    client.title =
        readUtf8(display, window, connection.atom("_NET_WM_NAME"), connection.atom("UTF8_STRING"))
            .value_or("");
    Atom hidden = connection.atom("_NET_WM_STATE_HIDDEN");
    for (unsigned long state :
         readCardinals(display, window, connection.atom("_NET_WM_STATE"), XA_ATOM)) {
        client.hidden = client.hidden || state == hidden;
    }
    return client;
}

std::vector<ClientWindow> X11Windows::clients() {
    auto lock = display_.lock();
    X11ErrorTrap trap(display_.raw());
    auto ids =
        readWindows(display_.raw(), display_.root(), display_.atom("_NET_CLIENT_LIST_STACKING"));
    if (ids.empty())
        ids = readWindows(display_.raw(), display_.root(), display_.atom("_NET_CLIENT_LIST"));
    std::vector<ClientWindow> out;
    out.reserve(ids.size());
    for (Window id : ids)
        out.push_back(describeWindow(display_, id));
    return out;
}

std::optional<ClientWindow> X11Windows::client(Window window) {
    auto lock = display_.lock();
    X11ErrorTrap trap(display_.raw());
    ClientWindow described = describeWindow(display_, window);
    if (trap.sync() != Success)
        return std::nullopt;
    return described;
}

std::optional<Window> X11Windows::activeWindow() {
    auto lock = display_.lock();
    X11ErrorTrap trap(display_.raw());
    return readActiveWindow(display_);
}

std::optional<Window> readActiveWindow(X11Display& display) {
    auto active = readWindows(display.raw(), display.root(), display.atom("_NET_ACTIVE_WINDOW"));
    if (active.empty() || active.front() == None)
        return std::nullopt;
    return active.front();
}

bool X11Windows::activate(Window window) {
    auto lock = display_.lock();
    X11ErrorTrap trap(display_.raw());
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.serial = 0;
    event.xclient.send_event = True;
    event.xclient.display = display_.raw();
    event.xclient.window = window;
    event.xclient.message_type = display_.atom("_NET_ACTIVE_WINDOW");
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2;  // source indication: pager
    event.xclient.data.l[1] = CurrentTime;
    event.xclient.data.l[2] = 0;
    Status sent = XSendEvent(display_.raw(), display_.root(), False,
                             SubstructureRedirectMask | SubstructureNotifyMask, &event);
    return sent != 0 && trap.sync() == Success;
}

std::optional<Window> windowToActivate(const std::vector<ClientWindow>& windows) {
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if (!it->hidden)
            return it->id;
    }
    if (!windows.empty())
        return windows.back().id;
    return std::nullopt;
}

}  // namespace orvex::linux_desktop

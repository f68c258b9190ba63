#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "desktop/linux/x11/x11_display.h"
#include "desktop/linux/x11/x11_properties.h"

namespace orvex::linux_desktop {

// A top-level window the window manager manages.
struct ClientWindow {
    Window id = None;
    std::int32_t pid = 0;  // _NET_WM_PID; 0 when the client does not say
    std::optional<WindowClass> windowClass;
    std::string title;
    bool hidden = false;  // _NET_WM_STATE_HIDDEN: minimized (or on no visible desktop)
};

// The window manager's view of the session, through the EWMH properties of the root
// window. Every call takes the connection's lock itself.
class X11Windows {
  public:
    explicit X11Windows(X11Display& display) : display_(display) {}

    // Client windows, bottom to top when the window manager keeps a stacking list.
    std::vector<ClientWindow> clients();
    std::optional<ClientWindow> client(Window window);
    std::optional<Window> activeWindow();
    // Asks the window manager to activate the window (source indication 2: a pager acting
    // for the user, which window managers obey without focus-stealing checks). This also
    // restores a minimized window. False when the request could not be sent.
    bool activate(Window window);
    X11Display& display() { return display_; }

  private:
    X11Display& display_;
};

// Reads one window's description; the caller holds the connection's lock and a trap.
ClientWindow describeWindow(X11Display& display, Window window);
// The root window's _NET_ACTIVE_WINDOW; the caller holds the lock and a trap.
std::optional<Window> readActiveWindow(X11Display& display);

// The window to bring forward among an application's windows (bottom to top): the
// topmost that is not minimized, else the topmost.
std::optional<Window> windowToActivate(const std::vector<ClientWindow>& windows);

}  // namespace orvex::linux_desktop

#pragma once

#include <X11/Xlib.h>

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace orvex::linux_desktop {

// One Xlib connection. Xlib is thread-safe only per call, so every sequence of requests
// that belongs together (a query and its reply, a grab and the sync that reports its
// error) runs under this connection's own lock.
class X11Display {
  public:
    // Opens the display of $DISPLAY. Gives nothing, with `problem` naming what is missing,
    // on a Wayland session without XWayland or when the server cannot be reached.
    static std::unique_ptr<X11Display> open(std::string* problem);
    ~X11Display();
    X11Display(const X11Display&) = delete;
    X11Display& operator=(const X11Display&) = delete;

    std::unique_lock<std::mutex> lock() { return std::unique_lock<std::mutex>(mutex_); }
    Display* raw() const { return display_; }
    Window root() const { return DefaultRootWindow(display_); }
    // Interned once per name; call with the lock held.
    Atom atom(const char* name);

  private:
    explicit X11Display(Display* display) : display_(display) {}

    Display* display_;
    std::mutex mutex_;
    std::map<std::string, Atom> atoms_;
};

// Collects the X errors that requests on one connection raise while it lives, instead of
// letting Xlib's default handler end the process. Use with the connection's lock held.
class X11ErrorTrap {
  public:
    explicit X11ErrorTrap(Display* display);
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    // Waits until the server has handled every request sent so far; the first error code
    // seen (Success when none).
    int sync();
    int firstError() const { return firstError_; }

    // Called by the process-wide handler.
    void record(int code) {
        if (firstError_ == Success)
            firstError_ = code;
    }

  private:
    Display* display_;
    int firstError_ = Success;
};

// Whether the session is a Wayland one (WAYLAND_DISPLAY set, or XDG_SESSION_TYPE=wayland).
// With a DISPLAY as well, the backend talks X11 to XWayland and reaches X11 clients only.
bool waylandSession();

// Why this session cannot host the desktop backend: no X display (a Wayland session
// without XWayland included), or no window manager. Nothing when it can.
std::optional<std::string> x11SessionProblem();

// The window manager's name when an EWMH window manager runs; with `problem` set when not.
std::optional<std::string> windowManagerName(X11Display& display, std::string* problem);

}  // namespace orvex::linux_desktop

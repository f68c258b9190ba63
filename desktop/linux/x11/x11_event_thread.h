#pragma once

#include <X11/Xlib.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "desktop/linux/x11/x11_display.h"

namespace orvex::linux_desktop {

// A connection of its own, read by one thread: changes of the root window's properties
// (the active window) and the key events of grabbed hot keys arrive here. Handlers run on
// this thread with the connection's lock held, and must only hand the news on.
class X11EventThread {
  public:
    using EventHandler = std::function<void(X11Display& display, const XEvent& event)>;

    // Gives nothing, with `problem` set, when the display cannot be opened.
    static std::unique_ptr<X11EventThread> start(std::string* problem);
    ~X11EventThread();
    X11EventThread(const X11EventThread&) = delete;
    X11EventThread& operator=(const X11EventThread&) = delete;

    // One handler sees every event; set before events matter (replacing it is safe).
    void setHandler(EventHandler handler);
    // Runs `work` on this connection, with its lock held (grabs must be made on the
    // connection that receives their events). The event thread reads nothing meanwhile,
    // so an error trap in `work` sees every error its requests cause.
    void withDisplay(const std::function<void(X11Display& display)>& work);

  private:
    explicit X11EventThread(std::unique_ptr<X11Display> display);
    void run();
    void wake();

    std::unique_ptr<X11Display> display_;
    std::mutex handlerMutex_;
    EventHandler handler_;
    int wakePipe_[2] = {-1, -1};
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

}  // namespace orvex::linux_desktop

#include "desktop/linux/x11/x11_event_thread.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace orvex::linux_desktop {

std::unique_ptr<X11EventThread> X11EventThread::start(std::string* problem) {
    auto display = X11Display::open(problem);
    if (!display)
        return nullptr;
    std::unique_ptr<X11EventThread> events(new X11EventThread(std::move(display)));
    if (pipe2(events->wakePipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
        *problem = "cannot create a pipe for the X11 event thread";
        return nullptr;
    }
    {
        auto lock = events->display_->lock();
        XSelectInput(events->display_->raw(), events->display_->root(), PropertyChangeMask);
        XFlush(events->display_->raw());
    }
    events->thread_ = std::thread([raw = events.get()] { raw->run(); });
    return events;
}

X11EventThread::X11EventThread(std::unique_ptr<X11Display> display)
    : display_(std::move(display)) {}

X11EventThread::~X11EventThread() {
    stopping_ = true;
    wake();
    if (thread_.joinable())
        thread_.join();
    for (int fd : wakePipe_) {
        if (fd >= 0)
            close(fd);
    }
}

void X11EventThread::setHandler(EventHandler handler) {
    std::lock_guard lock(handlerMutex_);
    handler_ = std::move(handler);
}

void X11EventThread::withDisplay(const std::function<void(X11Display& display)>& work) {
    auto lock = display_->lock();
    work(*display_);
    XFlush(display_->raw());
}

void X11EventThread::wake() {
    if (wakePipe_[1] >= 0) {
        char byte = 1;
        [[maybe_unused]] ssize_t n = write(wakePipe_[1], &byte, 1);
    }
}

void X11EventThread::run() {
    const int xfd = ConnectionNumber(display_->raw());
    while (!stopping_) {
        {
            // Events may already sit in Xlib's queue, read by a call made under the lock.
            auto lock = display_->lock();
            while (XPending(display_->raw()) > 0) {
                XEvent event;
                XNextEvent(display_->raw(), &event);
                std::lock_guard handlerLock(handlerMutex_);
                if (handler_)
                    handler_(*display_, event);
            }
        }
        pollfd fds[2] = {{xfd, POLLIN, 0}, {wakePipe_[0], POLLIN, 0}};
        if (poll(fds, 2, 1000) <= 0)
            continue;
        if (fds[1].revents & POLLIN) {
            char buffer[64];
            while (read(wakePipe_[0], buffer, sizeof buffer) > 0) {
            }
        }
        if (fds[0].revents & (POLLHUP | POLLERR))
            return;
    }
}

}  // namespace orvex::linux_desktop

#pragma once

#include <memory>

#include "desktop/linux/chromium/chromium_browser.h"
#include "desktop/linux/x11/x11_applications.h"

namespace orvex::linux_desktop {

// The browser's windows as the window manager stacks them, for the front-window order the
// DevTools protocol cannot give.
class X11BrowserWindows : public chromium::BrowserWindowStack {
  public:
    explicit X11BrowserWindows(std::shared_ptr<X11Applications> applications)
        : applications_(std::move(applications)) {}
    std::vector<chromium::StackedWindow> windowsOf(std::int32_t pid) override;
    bool raise(std::uint64_t id) override;

  private:
    std::shared_ptr<X11Applications> applications_;
};

}  // namespace orvex::linux_desktop

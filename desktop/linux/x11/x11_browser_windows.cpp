#include "desktop/linux/x11/x11_browser_windows.h"

#include <algorithm>

namespace orvex::linux_desktop {

std::vector<chromium::StackedWindow> X11BrowserWindows::windowsOf(std::int32_t pid) {
    X11Windows& windows = applications_->windows();
    std::vector<ClientWindow> stack = windows.clients();  // bottom to top
    std::optional<Window> active = windows.activeWindow();
    std::vector<chromium::StackedWindow> out;
    for (auto window = stack.rbegin(); window != stack.rend(); ++window) {
        if (window->pid != pid) {
            continue;
        }
        const bool isActive = active && window->id == *active;
        chromium::StackedWindow stacked{static_cast<std::uint64_t>(window->id), window->title,
                                        isActive};
        if (isActive) {
            out.insert(out.begin(), std::move(stacked));
        } else {
            out.push_back(std::move(stacked));
        }
    }
    return out;
}

bool X11BrowserWindows::raise(std::uint64_t id) {
    return applications_->windows().activate(static_cast<Window>(id));
}

}  // namespace orvex::linux_desktop

#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/clock.h"
#include "base/main_queue.h"
#include "desktop/desktop.h"

namespace orvex {

// A desktop Orvex runs on: every capability filled in, owned for the life of the program.
class DesktopBackend {
  public:
    virtual ~DesktopBackend() = default;
    virtual Desktop& desktop() = 0;
    // For the person starting Orvex: which desktop this is.
    virtual std::string description() const = 0;
    // The identifiers this desktop gives the browser that scripts call "Google Chrome".
    virtual std::vector<std::string> chromeBundleIds() const { return {}; }
    // X11 through XWayland on a Wayland session: input reaches X11 applications only.
    virtual bool x11OnWayland() const { return false; }
};

// What the command line and the environment say about the desktop to use.
struct DesktopRequest {
    std::optional<std::string> desktop;  // "--desktop", e.g. "sim:scenario.json"
    std::optional<std::string> journal;  // "--journal"
    // Orvex's own directory; a simulated desktop keeps its home and temporary files here.
    std::filesystem::path dataDirectory;
    // Whether a display server is reachable (DISPLAY or WAYLAND_DISPLAY set).
    bool displayPresent = false;
};

struct DesktopChoice {
    // None: Orvex runs with no desktop at all.
    std::unique_ptr<DesktopBackend> backend;
    // Set when the request cannot be honoured (bad option, unreadable scenario): Orvex
    // does not start.
    std::string error;
    // Things the person starting Orvex should know (a fallback taken).
    std::vector<std::string> notices;
};

// Chooses and builds the desktop backend. The program passes the real one; tests their own.
using DesktopFactory = std::function<DesktopChoice(const DesktopRequest&, MainQueue&, Clock&)>;

}  // namespace orvex

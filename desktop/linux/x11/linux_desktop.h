#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "base/clock.h"
#include "base/main_queue.h"
#include "desktop/desktop.h"

namespace orvex::linux_desktop {

struct LinuxDesktopOptions {
    // Where this application keeps its own files (the interface languages).
    std::filesystem::path dataDirectory;
    // Where bundled tools such as inputaim live; empty: beside this program.
    std::string toolDirectory;
};

class LinuxDesktopParts;

// The real Linux desktop: an X11 session with an EWMH window manager, AT-SPI for
// accessibility, GIO for installed applications and documents, XTest for keystrokes, key
// grabs for hot keys, Qt's clipboard, maim for captures. Owns every capability for as long
// as it lives. Needs a QGuiApplication (for the clipboard) created on the main thread
// before it, and must be created on that thread.
class LinuxDesktop {
  public:
    struct Result {
        std::unique_ptr<LinuxDesktop> desktop;
        // What is missing when there is no desktop, in words for the person starting it.
        std::string error;
    };
    static Result create(MainQueue& mainQueue, Clock& clock, const LinuxDesktopOptions& options);
    ~LinuxDesktop();
    LinuxDesktop(const LinuxDesktop&) = delete;
    LinuxDesktop& operator=(const LinuxDesktop&) = delete;

    Desktop& desktop() { return desktop_; }
    // "X11 session on DISPLAY :1 with Openbox", for the person starting the program.
    std::string description() const { return description_; }

  private:
    LinuxDesktop();

    std::unique_ptr<LinuxDesktopParts> parts_;
    Desktop desktop_;
    std::string description_;
};

}  // namespace orvex::linux_desktop

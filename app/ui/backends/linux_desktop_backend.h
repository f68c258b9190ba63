#pragma once

#include <QCoreApplication>
#include <memory>

#include "app/ui/desktop_backend.h"

namespace orvex {

// Whether this build has the Linux desktop backend.
bool linuxDesktopBuilt();

// The Qt application object for this run. Orvex on the Linux desktop needs a GUI
// application (the clipboard is Qt's), on the X11 platform even in a Wayland session with
// XWayland; everywhere else, and when no X11 session with a window manager is reachable,
// a plain core application does.
// With `windows` it is a widget application (on X11 when the Linux desktop is wanted).
std::unique_ptr<QCoreApplication> createQtApplication(int& argc, char** argv,
                                                      bool linuxDesktopWanted, bool windows);

// Orvex on the real Linux desktop (X11 with a window manager, AT-SPI). When the session
// lacks something, the choice carries an error naming it and Orvex does not start.
DesktopChoice chooseLinuxDesktop(const DesktopRequest& request, MainQueue& mainQueue, Clock& clock);

}  // namespace orvex

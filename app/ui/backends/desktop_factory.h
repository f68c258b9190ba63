#pragma once

#include "app/ui/desktop_backend.h"

namespace orvex {

// The program's choice of desktop:
// - "--desktop sim:FILE": the simulated desktop of that scenario file;
// - no "--desktop" and a display: the Linux desktop, once its backend is built (until then
//   a notice and no desktop);
// - no "--desktop" and no display: no desktop at all.
DesktopChoice chooseDesktop(const DesktopRequest& request, MainQueue& mainQueue, Clock& clock);

// The desktops this build can run on: "sim", and "linux" once its backend is built. The
// run script asks, to pick the real desktop when there is one.
std::vector<std::string> availableDesktops();

// Whether the environment names a display server.
bool displayPresent();

}  // namespace orvex

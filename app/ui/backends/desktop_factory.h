#pragma once

#include "app/ui/desktop_backend.h"

namespace orvex {

// The program's choice of desktop:
// - "--desktop sim:FILE": the simulated desktop of that scenario file;
// - no "--desktop" and a display: the Linux desktop (an error naming what the session lacks
//   when it cannot host it; a notice and no desktop when this build has no Linux backend);
// - no "--desktop" and no display: no desktop at all.
DesktopChoice chooseDesktop(const DesktopRequest& request, MainQueue& mainQueue, Clock& clock);

// The desktops this build can run on: "sim", and "linux" once its backend is built. The
// run script asks, to pick the real desktop when there is one.
std::vector<std::string> availableDesktops();

// Whether the environment names a display server.
bool displayPresent();

}  // namespace orvex

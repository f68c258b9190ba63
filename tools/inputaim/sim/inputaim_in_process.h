#pragma once

namespace orvex {

class SimDesktop;

// Makes the simulated desktop run inputaim in-process over its own accessibility and
// running applications, so the application's tests exercise the real search.
void registerInputaimInProcess(SimDesktop& desktop);

}  // namespace orvex

#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "desktop/accessibility.h"
#include "desktop/running_apps.h"

namespace orvex::inputaim {

// The whole tool over the given desktop: parses `arguments` (those after the program
// name), searches, then focuses or reports. Returns the exit code. Runs in-process on a
// simulated desktop as well as in the real program.
int runInputaim(const std::vector<std::string>& arguments, RunningApplications& applications,
                Accessibility& accessibility, std::ostream& out, std::ostream& err);

}  // namespace orvex::inputaim

namespace orvex {
using inputaim::runInputaim;
}

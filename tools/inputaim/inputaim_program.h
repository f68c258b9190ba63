#pragma once

#include <ostream>
#include <string>
#include <variant>
#include <vector>

#include "desktop/accessibility.h"
#include "desktop/running_apps.h"
#include "tools/inputaim/inputaim_arguments.h"

namespace orvex::inputaim {

// The whole tool over the given desktop: parses `arguments` (those after the program
// name), searches, then focuses or reports. Returns the exit code. Runs in-process on a
// simulated desktop as well as in the real program.
int runInputaim(const std::vector<std::string>& arguments, RunningApplications& applications,
                Accessibility& accessibility, std::ostream& out, std::ostream& err);

// The options of a search, or the exit code of arguments answered without a desktop (a
// usage error, --help, --version) once the answer is written. The program asks this before
// it connects to the accessibility bus, which can take seconds or fail.
std::variant<InputaimOptions, int> optionsOrAnswer(const std::vector<std::string>& arguments,
                                                   std::ostream& out, std::ostream& err);

}  // namespace orvex::inputaim

namespace orvex {
using inputaim::runInputaim;
}

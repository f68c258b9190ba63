#include "tools/inputaim/sim/inputaim_in_process.h"

#include <sstream>

#include "desktop/sim/sim_accessibility.h"
#include "desktop/sim/sim_desktop.h"
#include "desktop/sim/sim_processes.h"
#include "desktop/sim/sim_running_apps.h"
#include "tools/inputaim/inputaim_program.h"

namespace orvex {

void registerInputaimInProcess(SimDesktop& desktop) {
    desktop.processes().registerInProcessTool(
        "inputaim",
        [&desktop](const std::vector<std::string>& arguments, std::string& out, std::string& err) {
            std::ostringstream outStream, errStream;
            int status = runInputaim(arguments, desktop.runningApplications(),
                                     desktop.accessibility(), outStream, errStream);
            out = outStream.str();
            err = errStream.str();
            return status;
        });
}

}  // namespace orvex

// inputaim on Linux: the input-field finder over AT-SPI.
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "desktop/linux/app_identity.h"
#include "desktop/linux/atspi_accessibility.h"
#include "desktop/linux/atspi_desktop.h"
#include "desktop/linux/atspi_running_apps.h"
#include "tools/inputaim/inputaim_program.h"
#ifdef ORVEX_INPUTAIM_X11
#include "tools/inputaim/main/x11_front_process.h"
#endif

namespace {

// Every query has its own time-out and an application that missed one is not asked
// again, so a run normally ends within a few seconds. This is the last line: the
// application waits on this process, so it must never stay stuck.
constexpr unsigned runLimitSeconds = 20;

void giveUp(int) {
    static const char message[] = "input field not found (the application did not answer)\n";
    ssize_t ignored = write(STDERR_FILENO, message, sizeof message - 1);
    (void)ignored;
    _exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    std::signal(SIGALRM, giveUp);
    alarm(runLimitSeconds);

    std::vector<std::string> arguments(argv + 1, argv + argc);
    const auto parsed = orvex::inputaim::optionsOrAnswer(arguments, std::cout, std::cerr);
    if (const int* answered = std::get_if<int>(&parsed)) {
        return *answered;
    }
    auto desktop = std::make_shared<orvex::linux_desktop::AtspiDesktop>();
#ifdef ORVEX_INPUTAIM_X11
    desktop->setFrontmostProcess(orvex::x11FrontProcess);
#endif
    auto identities = std::make_shared<const orvex::linux_desktop::AppIdentityResolver>();
    orvex::linux_desktop::AtspiAccessibility accessibility(desktop);
    orvex::linux_desktop::AtspiRunningApplications applications(desktop, identities);
    return orvex::runInputaim(arguments, applications, accessibility, std::cout, std::cerr);
}

#include "app/ui/launch_options.h"

namespace orvex {

LaunchOptionsResult parseLaunchOptions(const std::vector<std::string>& arguments) {
    LaunchOptionsResult result;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == "--help" || argument == "-h") {
            result.options.help = true;
        } else if (argument == "--version") {
            result.options.version = true;
        } else if (argument == "--list-desktops") {
            result.options.listDesktops = true;
        } else if (argument == "--verbose") {
            result.options.verbose = true;
        } else if (argument == "--headless") {
            result.options.headless = true;
        } else if (argument == "--test-preset") {
            // The flag as the last argument schedules nothing.
            if (hasValue) {
                result.options.testPreset = arguments[++i];
            }
        } else if (argument == "--desktop" || argument == "--journal") {
            if (!hasValue) {
                result.error = argument + " needs a value";
                return result;
            }
            (argument == "--desktop" ? result.options.desktop : result.options.journal) =
                arguments[++i];
        } else {
            result.error = "Unknown argument: " + argument;
            return result;
        }
    }
    return result;
}

std::string launchUsage() {
    return "Usage: orvex [--desktop sim:SCENARIO.json] [--journal FILE] [--test-preset ID]\n"
           "             [--headless] [--verbose]\n"
           "       orvex --list-desktops | --version | --help\n"
           "\n"
           "  --desktop sim:FILE   run on the simulated desktop described by the scenario FILE\n"
           "  --journal FILE       write the simulated desktop's journal to FILE (appending)\n"
           "  --test-preset ID     run the preset ID once, five seconds after start-up\n"
           "  --headless           no windows and no tray icon, even with a display\n"
           "  --verbose            print the system log lines to standard error as well\n"
           "  --list-desktops      print the desktops this build can run on and exit\n"
           "  --version            print the version and exit\n"
           "\n"
           "Without --desktop Orvex uses the X11 desktop of $DISPLAY, with its tray icon and\n"
           "windows. With no display it runs headless with no desktop at all: every\n"
           "orvex-cli command works, and preset runs fail with a message saying no desktop\n"
           "session is available. Started again for the same settings, it asks the running\n"
           "Orvex to show its window. Stop Orvex with Ctrl+C, SIGTERM or its Quit menu.\n";
}

}  // namespace orvex

#include "app/ui/launch_options.h"

namespace orvex {

LaunchOptionsResult parseLaunchOptions(const std::vector<std::string>& arguments) {
    LaunchOptionsResult result;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == "--help" || argument == "-h") {
            result.options.help = true;
        } else if (argument == "--list-desktops") {
            result.options.listDesktops = true;
        } else if (argument == "--verbose") {
            result.options.verbose = true;
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
           "             [--verbose]\n"
           "       orvex --list-desktops\n"
           "\n"
           "  --desktop sim:FILE   run on the simulated desktop described by the scenario FILE\n"
           "  --journal FILE       write the simulated desktop's journal to FILE (appending)\n"
           "  --test-preset ID     run the preset ID once, five seconds after start-up\n"
           "  --verbose            print the system log lines to standard error as well\n"
           "  --list-desktops      print the desktops this build can run on and exit\n"
           "\n"
           "Without --desktop Orvex runs with no desktop at all: every orvex-cli command\n"
           "works, and preset runs fail with a message saying no desktop session is\n"
           "available. Stop Orvex with Ctrl+C or SIGTERM.\n";
}

}  // namespace orvex

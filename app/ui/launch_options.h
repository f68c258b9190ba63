#pragma once

#include <optional>
#include <string>
#include <vector>

namespace orvex {

// What Orvex was asked for on its command line.
struct LaunchOptions {
    // "--desktop": which desktop to run on, e.g. "sim:scenario.json"; none = the default.
    std::optional<std::string> desktop;
    // "--journal": where the simulated desktop writes its journal.
    std::optional<std::string> journal;
    // "--test-preset": a preset to run once, five seconds after start-up.
    std::optional<std::string> testPreset;
    // "--verbose": the system log lines are printed to standard error as well.
    bool verbose = false;
    // "--headless": no windows and no tray, even with a display.
    bool headless = false;
    // "--list-desktops": print the desktops this build can run on, one a line, and exit.
    bool listDesktops = false;
    bool help = false;
    // "--version": print "orvex VERSION" and exit.
    bool version = false;
};

struct LaunchOptionsResult {
    LaunchOptions options;
    std::string error;  // non-empty: the command line is wrong
};

// Arguments without the program name.
LaunchOptionsResult parseLaunchOptions(const std::vector<std::string>& arguments);

std::string launchUsage();

}  // namespace orvex

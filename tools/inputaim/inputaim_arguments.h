#pragma once

#include <optional>
#include <string>
#include <vector>

namespace orvex::inputaim {

struct InputaimOptions {
    bool list = false;
    std::optional<std::string> bundleIdentifier;
    std::string hint;
    bool help = false;     // print the usage and exit 0
    bool version = false;  // print "inputaim VERSION" and exit 0
};

inline constexpr const char* kInputaimUsage =
    "usage: inputaim [--list] [--app <bundleId>] [--hint <text>]\n"
    "       inputaim --help | --version\n";

struct ParsedArguments {
    std::optional<InputaimOptions> options;
    // When parsing failed: the line for standard error (with its line feed).
    std::string error;
};

// Parses the arguments that follow the program name.
ParsedArguments parseArguments(const std::vector<std::string>& arguments);

}  // namespace orvex::inputaim

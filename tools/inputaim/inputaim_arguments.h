#pragma once

#include <optional>
#include <string>
#include <vector>

namespace orvex::inputaim {

struct InputaimOptions {
    bool list = false;
    std::optional<std::string> bundleIdentifier;
    std::string hint;
};

struct ParsedArguments {
    std::optional<InputaimOptions> options;
    // When parsing failed: the line for standard error (with its line feed).
    std::string error;
};

// Parses the arguments that follow the program name.
ParsedArguments parseArguments(const std::vector<std::string>& arguments);

}  // namespace orvex::inputaim

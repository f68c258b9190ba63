#include "cli/core/cli_arguments.h"

namespace orvex {

CliArguments parseCliArguments(const std::vector<std::string>& arguments) {
    CliArguments parsed;
    if (arguments.empty()) {
        return parsed;
    }
    if (arguments[0] == "--help" || arguments[0] == "-h") {
        parsed.mode = CliMode::help;
        return parsed;
    }
    if (arguments[0] == "--version") {
        parsed.mode = CliMode::version;
        return parsed;
    }
    if (arguments[0] == "--complete") {
        parsed.mode = CliMode::complete;
        parsed.words.assign(arguments.begin() + 1, arguments.end());
        return parsed;
    }
    parsed.mode = CliMode::command;
    parsed.action = arguments[0];
    std::size_t i = 1;
    while (i < arguments.size()) {
        const std::string& current = arguments[i];
        if (current.starts_with("--") && i + 1 < arguments.size()) {
            parsed.params[current.substr(2)] = arguments[i + 1];
            i += 2;
        } else {
            ++i;
        }
    }
    return parsed;
}

}  // namespace orvex

#include "tools/inputaim/inputaim_arguments.h"

namespace orvex::inputaim {

ParsedArguments parseArguments(const std::vector<std::string>& arguments) {
    InputaimOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--version") {
            options.version = true;
        } else if (argument == "--list") {
            options.list = true;
        } else if (argument == "--app") {
            if (i + 1 == arguments.size())
                return {std::nullopt, "--app needs a bundle id\n"};
            options.bundleIdentifier = arguments[++i];
        } else if (argument == "--hint") {
            if (i + 1 == arguments.size())
                return {std::nullopt, "--hint needs a text\n"};
            options.hint = arguments[++i];
        } else {
            return {std::nullopt, kInputaimUsage};
        }
    }
    return {options, ""};
}

}  // namespace orvex::inputaim

#pragma once

#include <map>
#include <string>
#include <vector>

namespace orvex {

enum class CliMode {
    missingAction,  // no argument at all: usage, status 1
    help,           // "--help" or "-h" first: usage, status 0
    command,        // anything else: send `action` with `params`
    version,        // "--version" first: "orvex-cli VERSION", status 0
    complete,       // "--complete" first: the shell completion's candidates for `words`
};

struct CliArguments {
    CliMode mode = CliMode::missingAction;
    std::string action;
    std::map<std::string, std::string> params;
    std::vector<std::string> words;  // after "--complete": the line up to the word completed
};

// `arguments` excludes the program name. The action is passed through unchecked; after it,
// an argument starting with "--" that has a successor forms a key/value pair (the value taken
// as is, even if it starts with "--"), a later key overwrites an earlier one, and any other
// argument is skipped on its own.
CliArguments parseCliArguments(const std::vector<std::string>& arguments);

}  // namespace orvex

#pragma once

#include <map>
#include <string>
#include <string_view>

#include "base/json.h"
#include "protocol/decode_result.h"

namespace orvex {

// One command file: what orvex-cli asks the running app to do.
struct CLICommand {
    std::string id;
    std::string action;
    std::map<std::string, std::string> params;

    bool operator==(const CLICommand&) const = default;
};

// All three keys are required and every parameter value must be a string; anything else
// (a missing "params", a number as a value) makes the file unreadable.
DecodeResult<CLICommand> decodeCLICommand(const Json& json);
// Parses and decodes a command file's text; invalid JSON is unreadable too.
DecodeResult<CLICommand> decodeCLICommandText(std::string_view text);

Json encodeCLICommand(const CLICommand& command);
// The file form: pretty-printed, keys sorted ("action", "id", "params").
std::string encodeCLICommandText(const CLICommand& command);

}  // namespace orvex

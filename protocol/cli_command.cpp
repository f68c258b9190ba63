#include "protocol/cli_command.h"

#include "protocol/field_reader.h"

namespace orvex {

DecodeResult<CLICommand> decodeCLICommand(const Json& json) {
    FieldReader reader(json, "command");
    CLICommand command;
    reader.string("id", command.id);
    reader.string("action", command.action);
    reader.stringMap("params", command.params);
    return reader.finish(std::move(command));
}

DecodeResult<CLICommand> decodeCLICommandText(std::string_view text) {
    auto parsed = parseJson(text);
    if (!parsed.value) {
        return {std::nullopt, "invalid JSON: " + parsed.error};
    }
    return decodeCLICommand(*parsed.value);
}

Json encodeCLICommand(const CLICommand& command) {
    Json params = Json::object();
    for (const auto& [key, value] : command.params) {
        params[key] = value;
    }
    return Json{{"id", command.id}, {"action", command.action}, {"params", std::move(params)}};
}

std::string encodeCLICommandText(const CLICommand& command) {
    return toPrettyJson(encodeCLICommand(command));
}

}  // namespace orvex

#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace orvex {

using Json = nlohmann::json;

// Every file the system writes has this one form: UTF-8, pretty-printed, the keys of
// every object sorted ascending, with a trailing newline. nlohmann's object type is an
// ordered std::map, so sorting comes from the container; callers must still leave
// absent optionals out rather than writing null.
std::string toPrettyJson(const Json& value);

// Parses untrusted text (settings, imports, command files). Never throws: invalid JSON,
// invalid UTF-8 and nesting deeper than `maxDepth` all give nullopt with a reason, so a
// hostile file cannot crash the reader or exhaust the stack later.
struct JsonParseResult {
    std::optional<Json> value;
    std::string error;
};
JsonParseResult parseJson(std::string_view text, int maxDepth = 64);

}  // namespace orvex

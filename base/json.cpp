#include "base/json.h"

namespace orvex {

std::string toPrettyJson(const Json& value) {
    // Strings reaching the writer came through the parser or our own code, so they are
    // valid UTF-8; replace rather than throw should one ever not be.
    return value.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

JsonParseResult parseJson(std::string_view text, int maxDepth) {
    JsonParseResult result;
    bool tooDeep = false;
    Json::parser_callback_t limitDepth = [&](int depth, Json::parse_event_t event, Json&) {
        if ((event == Json::parse_event_t::object_start ||
             event == Json::parse_event_t::array_start) &&
            depth >= maxDepth) {
            tooDeep = true;
        }
        return !tooDeep;
    };
    try {
        Json value = Json::parse(text.begin(), text.end(), limitDepth, true, false);
        if (tooDeep) {
            result.error = "JSON nests deeper than " + std::to_string(maxDepth) + " levels";
            return result;
        }
        result.value = std::move(value);
    } catch (const Json::exception& e) {
        result.error = tooDeep ? "JSON nests deeper than " + std::to_string(maxDepth) + " levels"
                               : std::string(e.what());
    }
    return result;
}

}  // namespace orvex

#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/json.h"

namespace orvex::chromium {

// What one message read from a DevTools connection means to the call waiting on it.
struct DevToolsReply {
    enum class Kind {
        // Not the answer to this call: an event, a late answer to an earlier call, or text
        // that is no JSON object. The call keeps waiting.
        unrelated,
        // The answer: `result` holds its "result" object (empty when it has none).
        result,
        // The browser refused the call: `error` holds its message.
        error,
    };
    Kind kind = Kind::unrelated;
    Json result = Json::object();
    std::string error;
};

// Kept apart from the socket so that what the browser sends can be read without one.
DevToolsReply readDevToolsReply(std::string_view message, std::int64_t id);

}  // namespace orvex::chromium

#include "desktop/linux/chromium/devtools_reply.h"

namespace orvex::chromium {

DevToolsReply readDevToolsReply(std::string_view message, std::int64_t id) {
    DevToolsReply reply;
    JsonParseResult parsed = parseJson(message, 512);
    if (!parsed.value || !parsed.value->is_object()) {
        return reply;
    }
    const Json& json = *parsed.value;
    auto replyId = json.find("id");
    if (replyId == json.end() || !replyId->is_number_integer() || *replyId != id) {
        return reply;
    }
    if (auto error = json.find("error"); error != json.end()) {
        const Json* text =
            error->is_object() && error->contains("message") ? &error->at("message") : nullptr;
        reply.kind = DevToolsReply::Kind::error;
        reply.error = text && text->is_string() ? text->get<std::string>() : error->dump();
        return reply;
    }
    reply.kind = DevToolsReply::Kind::result;
    if (auto result = json.find("result"); result != json.end() && result->is_object()) {
        reply.result = *result;
    }
    return reply;
}

}  // namespace orvex::chromium

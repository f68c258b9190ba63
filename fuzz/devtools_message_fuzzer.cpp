// Messages from the browser's DevTools connection, which any page can make large and odd.
#include "desktop/linux/chromium/devtools_reply.h"
#include "fuzz/fuzz_check.h"

using namespace orvex;
using chromium::DevToolsReply;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view message = fuzz::text(data, size);
    constexpr std::int64_t id = 7;
    const DevToolsReply reply = chromium::readDevToolsReply(message, id);
    fuzz::check(reply.result.is_object(), "a call's result is not an object");
    if (reply.kind != DevToolsReply::Kind::unrelated) {
        // One message answers one call: it must not also be taken for the next call's.
        fuzz::check(
            chromium::readDevToolsReply(message, id + 1).kind == DevToolsReply::Kind::unrelated,
            "one message answers two calls");
    }
    return 0;
}

#include "app/execution/error_classification.h"

#include <initializer_list>

#include "base/unicode/unicode_text.h"

namespace orvex {

namespace {

bool contains(std::string_view text, std::string_view phrase) {
    return text.find(phrase) != std::string_view::npos;
}

bool containsAny(std::string_view text, std::initializer_list<std::string_view> phrases) {
    for (std::string_view phrase : phrases) {
        if (contains(text, phrase)) {
            return true;
        }
    }
    return false;
}

}  // namespace

FailureStatus classifyFailureDescription(std::string_view d) {
    auto status = [](const char* key) { return FailureStatus{key, {}}; };
    if (contains(d, "ChatGPT responding")) {
        return status("status.chatgptResponding");
    }
    if (contains(d, "page load timeout")) {
        return status("status.pageLoadTimeout");
    }
    if (contains(d, "Chrome automation denied")) {
        return status("status.chromePermission");
    }
    if (contains(d, "Chrome not installed")) {
        return status("status.chromeNotInstalled");
    }
    if (contains(d, "ChatGPT not installed")) {
        return status("status.chatgptNotInstalled");
    }
    if (contains(d, "Claude not installed")) {
        return status("status.chatgptNotInstalled");
    }
    if (contains(d, "no window")) {
        return status("status.chatgptNoWindow");
    }
    if (contains(d, "ChatGPT") && contains(d, "not running")) {
        return status("status.chatgptCannotLaunch");
    }
    if (contains(d, "Claude") && contains(d, "not running")) {
        return status("status.chatgptCannotLaunch");
    }
    if (containsAny(d, {"accessibility", "not allowed"})) {
        return status("status.accessibilityRequired");
    }
    if (contains(d, "System Events")) {
        return status("status.systemEventsFailed");
    }
    if (containsAny(d, {"timeout", "Timeout"})) {
        return status("status.timeout");
    }
    if (containsAny(d, {"clipboard", "Clipboard"})) {
        return status("status.clipboardFailed");
    }
    if (containsAny(d, {"ChatGPT not active", "Claude not active"})) {
        return status("status.chatgptNotActive");
    }
    return FailureStatus{"status.unknownError", {{"msg", firstGraphemes(d, kUnknownErrorLength)}}};
}

}  // namespace orvex

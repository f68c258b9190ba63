#include "app/execution/url_host.h"

namespace orvex {

namespace {

bool isAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isSchemeChar(char c) {
    return isAlpha(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

bool isHostChar(char c) {
    // Unreserved characters, sub-delimiters and percent escapes; anything else (spaces,
    // quotes, control characters) makes the URL invalid.
    static constexpr std::string_view allowed = "-._~!$&'()*+,;=%";
    return isAlpha(c) || (c >= '0' && c <= '9') || allowed.find(c) != std::string_view::npos ||
           static_cast<unsigned char>(c) >= 0x80;
}

}  // namespace

std::optional<std::string> urlHost(std::string_view url) {
    std::size_t colon = url.find(':');
    if (colon == std::string_view::npos || colon == 0 || !isAlpha(url[0])) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < colon; ++i) {
        if (!isSchemeChar(url[i])) {
            return std::nullopt;
        }
    }
    std::string_view rest = url.substr(colon + 1);
    if (rest.substr(0, 2) != "//") {
        return std::nullopt;
    }
    rest.remove_prefix(2);
    std::string_view authority = rest.substr(0, rest.find_first_of("/?#"));
    if (std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
        authority.remove_prefix(at + 1);
    }
    std::string_view host;
    std::string_view after;
    if (!authority.empty() && authority.front() == '[') {
        std::size_t close = authority.find(']');
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        host = authority.substr(1, close - 1);
        after = authority.substr(close + 1);
        for (char c : host) {
            if (!(c == ':' || c == '.' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') ||
                  (c >= 'A' && c <= 'F'))) {
                return std::nullopt;
            }
        }
    } else {
        std::size_t portStart = authority.find(':');
        host = authority.substr(0, portStart);
        after =
            portStart == std::string_view::npos ? std::string_view{} : authority.substr(portStart);
        for (char c : host) {
            if (!isHostChar(c)) {
                return std::nullopt;
            }
        }
    }
    if (!after.empty()) {
        if (after.front() != ':') {
            return std::nullopt;
        }
        for (char c : after.substr(1)) {
            if (c < '0' || c > '9') {
                return std::nullopt;
            }
        }
    }
    if (host.empty()) {
        return std::nullopt;
    }
    // The rest of the URL must not hold characters no URL may contain.
    for (char c : rest) {
        if (c == ' ' || c == '"' || c == '<' || c == '>' || c == '\\' || c == '^' || c == '`' ||
            c == '{' || c == '|' || c == '}' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            return std::nullopt;
        }
    }
    return std::string(host);
}

}  // namespace orvex

#include "app/execution/error_classification.h"

#include <array>
#include <cstdint>
#include <initializer_list>

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

// One code point decoded from the front of `text`; `length` is how many bytes it took.
// An invalid or truncated sequence reads as one byte with no code point.
struct Decoded {
    std::uint32_t codePoint = 0;
    std::size_t length = 1;
    bool valid = false;
};

Decoded decodeOne(std::string_view text) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(0);
    std::size_t length = 0;
    std::uint32_t value = 0;
    std::uint32_t minimum = 0;
    if (lead < 0x80) {
        return {lead, 1, true};
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        value = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        value = lead & 0x07;
        minimum = 0x10000;
    } else {
        return {};
    }
    if (text.size() < length) {
        return {};
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return {};
        }
        value = (value << 6) | (byte(i) & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return {};
    }
    return {value, length, true};
}

// Code points that never start a character of their own: they extend the one before.
bool extendsPrevious(std::uint32_t c) {
    struct Range {
        std::uint32_t first;
        std::uint32_t last;
    };
    static constexpr std::array<Range, 13> kExtend{{
        {0x0300, 0x036F},    // combining diacritical marks
        {0x0483, 0x0489},    // Cyrillic combining marks
        {0x0591, 0x05BD},    // Hebrew points
        {0x064B, 0x065F},    // Arabic marks
        {0x1AB0, 0x1AFF},    // combining diacritical marks extended
        {0x1DC0, 0x1DFF},    // combining diacritical marks supplement
        {0x200C, 0x200D},    // zero-width non-joiner and joiner
        {0x20D0, 0x20FF},    // combining marks for symbols
        {0x3099, 0x309A},    // Japanese combining voiced sound marks
        {0xFE00, 0xFE0F},    // variation selectors
        {0xFE20, 0xFE2F},    // combining half marks
        {0x1F3FB, 0x1F3FF},  // emoji skin-tone modifiers
        {0xE0020, 0xE007F},  // tag characters (flag sequences)
    }};
    for (const Range& range : kExtend) {
        if (c >= range.first && c <= range.last) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string firstCharacters(std::string_view text, std::size_t count) {
    std::size_t position = 0;
    std::size_t characters = 0;
    bool afterJoiner = false;
    bool afterCarriageReturn = false;
    while (position < text.size()) {
        Decoded next = decodeOne(text.substr(position));
        bool startsCharacter = true;
        if (next.valid && characters > 0) {
            // A joiner glues the following code point to the character too (emoji
            // sequences); a line feed after a carriage return is one line break.
            startsCharacter = !(extendsPrevious(next.codePoint) || afterJoiner ||
                                (afterCarriageReturn && next.codePoint == '\n'));
        }
        if (startsCharacter) {
            if (characters == count) {
                break;
            }
            ++characters;
        }
        afterJoiner = next.valid && next.codePoint == 0x200D;
        afterCarriageReturn = next.valid && next.codePoint == '\r';
        position += next.length;
    }
    return std::string(text.substr(0, position));
}

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
    return FailureStatus{"status.unknownError", {{"msg", firstCharacters(d, kUnknownErrorLength)}}};
}

}  // namespace orvex

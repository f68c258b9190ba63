#include "desktop/sim/sim_text.h"

#include <algorithm>

namespace orvex::simtext {
namespace {

// Byte length of the character starting at `lead`; 1 for a stray byte.
std::size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 1;
}

// Byte offset of character `index` (the text's size when past the end).
std::size_t byteOffset(std::string_view text, std::int64_t index) {
    std::size_t offset = 0;
    for (std::int64_t i = 0; i < index && offset < text.size(); ++i) {
        offset += sequenceLength(static_cast<unsigned char>(text[offset]));
    }
    return std::min(offset, text.size());
}

}  // namespace

std::int64_t length(std::string_view text) {
    std::int64_t count = 0;
    for (std::size_t offset = 0; offset < text.size(); ++count) {
        offset += sequenceLength(static_cast<unsigned char>(text[offset]));
    }
    return count;
}

std::string substring(std::string_view text, std::int64_t location, std::int64_t count) {
    AXRange range = clamp(AXRange{location, count}, length(text));
    std::size_t begin = byteOffset(text, range.location);
    std::size_t end = byteOffset(text, range.location + range.length);
    return std::string(text.substr(begin, end - begin));
}

AXRange clamp(AXRange range, std::int64_t length) {
    std::int64_t location = std::clamp<std::int64_t>(range.location, 0, length);
    std::int64_t count = std::clamp<std::int64_t>(range.length, 0, length - location);
    return AXRange{location, count};
}

std::string replace(std::string_view text, AXRange range, std::string_view insert) {
    range = clamp(range, length(text));
    std::size_t begin = byteOffset(text, range.location);
    std::size_t end = byteOffset(text, range.location + range.length);
    std::string result(text.substr(0, begin));
    result += insert;
    result += text.substr(end);
    return result;
}

}  // namespace orvex::simtext

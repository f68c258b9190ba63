#include "desktop/linux/x11/keysym_text.h"

#include <X11/keysym.h>

#include "app/shortcuts/x11_key_map.h"
#include "desktop/keyboard.h"

namespace orvex::linux_desktop {

std::optional<std::vector<char32_t>> decodeUtf8(const std::string& text) {
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < text.size();) {
        auto byte = static_cast<unsigned char>(text[i]);
        int length = byte < 0x80         ? 1
                     : (byte >> 5) == 6  ? 2
                     : (byte >> 4) == 14 ? 3
                     : (byte >> 3) == 30 ? 4
                                         : 0;
        if (length == 0 || i + length > text.size())
            return std::nullopt;
        char32_t value = length == 1 ? byte : byte & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return std::nullopt;
            value = (value << 6) | (next & 0x3F);
        }
        static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return std::nullopt;
        out.push_back(value);
        i += length;
    }
    return out;
}

std::optional<std::uint32_t> keysymForCharacter(char32_t character) {
    if (character == U'\r' || character == U'\n')
        return XK_Return;
    if (character == U'\t')
        return XK_Tab;
    if (character < 0x20 || (character >= 0x7F && character < 0xA0))
        return std::nullopt;
    if (character <= 0xFF)
        return static_cast<std::uint32_t>(character);
    return 0x01000000u | static_cast<std::uint32_t>(character);
}

std::optional<std::uint32_t> keysymForKeyCode(std::uint16_t keyCode) {
    switch (keyCode) {
        case keycode::kCommand:
            return XK_Super_L;
        case keycode::kRightCommand:
            return XK_Super_R;
        case keycode::kShift:
            return XK_Shift_L;
        case keycode::kRightShift:
            return XK_Shift_R;
        case keycode::kOption:
            return XK_Alt_L;
        case keycode::kRightOption:
            return XK_Alt_R;
        case keycode::kControl:
            return XK_Control_L;
        case keycode::kRightControl:
            return XK_Control_R;
        default:
            return x11KeysymFor(keyCode);
    }
}

}  // namespace orvex::linux_desktop

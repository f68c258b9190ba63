#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvex::linux_desktop {

// The code points of a UTF-8 text; nothing when the text is not valid UTF-8.
std::optional<std::vector<char32_t>> decodeUtf8(const std::string& text);

// The keysym that types one character: Return for "\r" and "\n", Tab for "\t", the
// Latin-1 keysyms for their characters, the Unicode keysyms beyond. Nothing for other
// control characters.
std::optional<std::uint32_t> keysymForCharacter(char32_t character);

// Keysyms of the modifier keys named by the key codes of the shortcut tables (Command is
// the Super key here), and of the other keys those tables name.
std::optional<std::uint32_t> keysymForKeyCode(std::uint16_t keyCode);

}  // namespace orvex::linux_desktop

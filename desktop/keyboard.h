#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace orvex {

// The four modifier keys, as a set.
struct KeyModifiers {
    bool shift = false;
    bool control = false;
    bool option = false;
    bool command = false;

    bool any() const { return shift || control || option || command; }
    bool operator==(const KeyModifiers&) const = default;
};

// Virtual key codes of the keys this system names (macOS numbering, which every backend
// maps to its own keys).
namespace keycode {
inline constexpr std::uint16_t kReturn = 36;
inline constexpr std::uint16_t kTab = 48;
inline constexpr std::uint16_t kEscape = 53;
inline constexpr std::uint16_t kRightCommand = 54;
inline constexpr std::uint16_t kCommand = 55;
inline constexpr std::uint16_t kShift = 56;
inline constexpr std::uint16_t kOption = 58;
inline constexpr std::uint16_t kControl = 59;
inline constexpr std::uint16_t kRightShift = 60;
inline constexpr std::uint16_t kRightOption = 61;
inline constexpr std::uint16_t kRightControl = 62;
}  // namespace keycode

// The keyboard as seen by synthetic input. Every method may be called from any thread.
class Keyboard {
  public:
    virtual ~Keyboard() = default;
    // Which modifiers the hardware state reports as held right now.
    virtual KeyModifiers heldModifiers() = 0;
    // Posts one key-up event for `keyCode` with no modifier flags.
    virtual void postKeyUp(std::uint16_t keyCode) = 0;
    // Types `characters` (a "\r" is the Return key) into the frontmost application with
    // `modifiers` pressed around each character. Returns an error message when the
    // platform refuses synthetic input, none on success.
    virtual std::optional<std::string> postKeystroke(const std::string& characters,
                                                     KeyModifiers modifiers) = 0;
    // Presses and releases one key by virtual key code with `modifiers`; error as above.
    virtual std::optional<std::string> postKeyCode(std::uint16_t keyCode,
                                                   KeyModifiers modifiers) = 0;
};

}  // namespace orvex

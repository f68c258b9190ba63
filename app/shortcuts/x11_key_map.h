#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace orvex {

// X11 modifier bits (X.h values, repeated here so the core needs no X headers).
inline constexpr std::uint32_t x11ShiftMask = 1;
inline constexpr std::uint32_t x11ControlMask = 4;
inline constexpr std::uint32_t x11Mod1Mask = 8;  // Alt

struct X11KeyEntry {
    std::uint32_t keyCode;  // virtual key code of the shortcut tables
    std::uint32_t keysym;   // X11 keysym (keysymdef.h value)
};

// Every virtual key code either shortcut table names, with its X11 keysym.
std::span<const X11KeyEntry> x11KeyTable();

std::optional<std::uint32_t> x11KeysymFor(std::uint32_t keyCode);
// Hot-key modifier bits (cmdKey, controlKey, optionKey, shiftKey) to X11 modifier bits.
// Bits that name no modifier are dropped.
std::uint32_t x11ModifiersFor(std::uint32_t modifiers);

}  // namespace orvex

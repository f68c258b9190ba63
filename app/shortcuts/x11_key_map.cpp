#include "app/shortcuts/x11_key_map.h"

#include <array>

#include "app/shortcuts/shortcut_strings.h"

namespace orvex {

namespace {

// Shortcut strings, their names and their canonical form stay those of the shortcut tables
// on every platform; only the hot-key backend translates. On X11:
//   - Command and Control both become Control. A PC keyboard has no Command key, and the
//     factory shortcuts ("CommandOrControl+Shift+2") are meant to sit on the primary
//     accelerator key. The price: Command+X and Control+X name the same X11 grab, so the
//     second of two such presets is refused by the backend like any duplicate shortcut.
//   - Option becomes Alt (Mod1), Shift stays Shift.
//   - Letters map to their lower-case keysyms, which is what XKeysymToKeycode expects.
constexpr std::array<X11KeyEntry, 76> kX11KeyTable{{
    // Letters.
    {0, 0x61},
    {11, 0x62},
    {8, 0x63},
    {2, 0x64},
    {14, 0x65},
    {3, 0x66},
    {5, 0x67},
    {4, 0x68},
    {34, 0x69},
    {38, 0x6a},
    {40, 0x6b},
    {37, 0x6c},
    {46, 0x6d},
    {45, 0x6e},
    {31, 0x6f},
    {35, 0x70},
    {12, 0x71},
    {15, 0x72},
    {1, 0x73},
    {17, 0x74},
    {32, 0x75},
    {9, 0x76},
    {13, 0x77},
    {7, 0x78},
    {16, 0x79},
    {6, 0x7a},
    // Digits.
    {29, 0x30},
    {18, 0x31},
    {19, 0x32},
    {20, 0x33},
    {21, 0x34},
    {23, 0x35},
    {22, 0x36},
    {26, 0x37},
    {28, 0x38},
    {25, 0x39},
    // Punctuation: minus, equal, bracketleft, bracketright, semicolon, apostrophe, comma,
    // period, slash, backslash, grave.
    {27, 0x2d},
    {24, 0x3d},
    {33, 0x5b},
    {30, 0x5d},
    {41, 0x3b},
    {39, 0x27},
    {43, 0x2c},
    {47, 0x2e},
    {44, 0x2f},
    {42, 0x5c},
    {50, 0x60},
    // Return, Tab, space, BackSpace (the backspace key), Escape.
    {36, 0xff0d},
    {48, 0xff09},
    {49, 0x20},
    {51, 0xff08},
    {53, 0xff1b},
    // Left, Up, Right, Down.
    {123, 0xff51},
    {126, 0xff52},
    {124, 0xff53},
    {125, 0xff54},
    // Home, End, Prior (page up), Next (page down), Delete (forward delete).
    {115, 0xff50},
    {119, 0xff57},
    {116, 0xff55},
    {121, 0xff56},
    {117, 0xffff},
    // F1 to F15.
    {122, 0xffbe},
    {120, 0xffbf},
    {99, 0xffc0},
    {118, 0xffc1},
    {96, 0xffc2},
    {97, 0xffc3},
    {98, 0xffc4},
    {100, 0xffc5},
    {101, 0xffc6},
    {109, 0xffc7},
    {103, 0xffc8},
    {111, 0xffc9},
    {105, 0xffca},
    {107, 0xffcb},
    {113, 0xffcc},
}};

}  // namespace

std::span<const X11KeyEntry> x11KeyTable() {
    return kX11KeyTable;
}

std::optional<std::uint32_t> x11KeysymFor(std::uint32_t keyCode) {
    for (const auto& entry : kX11KeyTable) {
        if (entry.keyCode == keyCode) {
            return entry.keysym;
        }
    }
    return std::nullopt;
}

std::uint32_t x11ModifiersFor(std::uint32_t modifiers) {
    std::uint32_t result = 0;
    if (modifiers & (cmdKey | controlKey)) {
        result |= x11ControlMask;
    }
    if (modifiers & optionKey) {
        result |= x11Mod1Mask;
    }
    if (modifiers & shiftKey) {
        result |= x11ShiftMask;
    }
    return result;
}

}  // namespace orvex

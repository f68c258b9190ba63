#include "app/shortcuts/shortcut_strings.h"

#include <algorithm>
#include <array>
#include <vector>

#include "base/unicode/unicode_text.h"

namespace orvex {

namespace {

constexpr std::array<KeyCodeEntry, 76> kKeyCodeTable{{
    {"a", 0},          {"b", 11},      {"c", 8},        {"d", 2},          {"e", 14},
    {"f", 3},          {"g", 5},       {"h", 4},        {"i", 34},         {"j", 38},
    {"k", 40},         {"l", 37},      {"m", 46},       {"n", 45},         {"o", 31},
    {"p", 35},         {"q", 12},      {"r", 15},       {"s", 1},          {"t", 17},
    {"u", 32},         {"v", 9},       {"w", 13},       {"x", 7},          {"y", 16},
    {"z", 6},          {"0", 29},      {"1", 18},       {"2", 19},         {"3", 20},
    {"4", 21},         {"5", 23},      {"6", 22},       {"7", 26},         {"8", 28},
    {"9", 25},         {"return", 36}, {"enter", 36},   {"tab", 48},       {"space", 49},
    {"backspace", 51}, {"delete", 51}, {"escape", 53},  {"esc", 53},       {"up", 126},
    {"down", 125},     {"left", 123},  {"right", 124},  {"f1", 122},       {"f2", 120},
    {"f3", 99},        {"f4", 118},    {"f5", 96},      {"f6", 97},        {"f7", 98},
    {"f8", 100},       {"f9", 101},    {"f10", 109},    {"f11", 103},      {"f12", 111},
    {"home", 115},     {"end", 119},   {"pageup", 116}, {"pagedown", 121}, {"forwarddelete", 117},
    {"-", 27},         {"=", 24},      {"[", 33},       {"]", 30},         {";", 41},
    {"'", 39},         {",", 43},      {".", 47},       {"/", 44},         {"\\", 42},
    {"`", 50},
}};

constexpr std::array<CaptureNameEntry, 76> kCaptureNameTable{{
    {0, "A"},
    {11, "B"},
    {8, "C"},
    {2, "D"},
    {14, "E"},
    {3, "F"},
    {5, "G"},
    {4, "H"},
    {34, "I"},
    {38, "J"},
    {40, "K"},
    {37, "L"},
    {46, "M"},
    {45, "N"},
    {31, "O"},
    {35, "P"},
    {12, "Q"},
    {15, "R"},
    {1, "S"},
    {17, "T"},
    {32, "U"},
    {9, "V"},
    {13, "W"},
    {7, "X"},
    {16, "Y"},
    {6, "Z"},
    {29, "0"},
    {18, "1"},
    {19, "2"},
    {20, "3"},
    {21, "4"},
    {23, "5"},
    {22, "6"},
    {26, "7"},
    {28, "8"},
    {25, "9"},
    {27, "-"},
    {24, "="},
    {33, "["},
    {30, "]"},
    {41, ";"},
    {39, "'"},
    {43, ","},
    {47, "."},
    {44, "/"},
    {42, "\\"},
    {50, "`"},
    {36, "Return"},
    {48, "Tab"},
    {49, "Space"},
    {51, "Backspace"},
    {53, "Escape"},
    {123, "Left"},
    {124, "Right"},
    {125, "Down"},
    {126, "Up"},
    {115, "Home"},
    {119, "End"},
    {116, "PageUp"},
    {121, "PageDown"},
    {117, "ForwardDelete"},
    {122, "F1"},
    {120, "F2"},
    {99, "F3"},
    {118, "F4"},
    {96, "F5"},
    {97, "F6"},
    {98, "F7"},
    {100, "F8"},
    {101, "F9"},
    {109, "F10"},
    {103, "F11"},
    {111, "F12"},
    {105, "F13"},
    {107, "F14"},
    {113, "F15"},
}};

constexpr std::array<DisplaySymbolEntry, 17> kDisplaySymbolTable{{
    {"return", "↩"},
    {"enter", "↩"},
    {"tab", "⇥"},
    {"space", "␣"},
    {"backspace", "⌫"},
    {"delete", "⌫"},
    {"escape", "⎋"},
    {"esc", "⎋"},
    {"up", "↑"},
    {"down", "↓"},
    {"left", "←"},
    {"right", "→"},
    {"forwarddelete", "⌦"},
    {"home", "↖"},
    {"end", "↘"},
    {"pageup", "⇞"},
    {"pagedown", "⇟"},
}};

struct ModifierName {
    std::string_view name;
    std::uint32_t mask;
};

// "super" sets Command when parsing, but is shown as an ordinary key.
constexpr std::array<ModifierName, 10> kModifierNames{{
    {"commandorcontrol", cmdKey},
    {"command", cmdKey},
    {"cmd", cmdKey},
    {"meta", cmdKey},
    {"super", cmdKey},
    {"control", controlKey},
    {"ctrl", controlKey},
    {"alt", optionKey},
    {"option", optionKey},
    {"shift", shiftKey},
}};

struct DisplayModifier {
    std::string_view name;
    std::string_view symbol;
};

constexpr std::array<DisplayModifier, 9> kDisplayModifiers{{
    {"commandorcontrol", "⌘"},
    {"command", "⌘"},
    {"cmd", "⌘"},
    {"meta", "⌘"},
    {"control", "⌃"},
    {"ctrl", "⌃"},
    {"alt", "⌥"},
    {"option", "⌥"},
    {"shift", "⇧"},
}};

struct CanonicalModifier {
    std::uint32_t mask;
    std::string_view name;
};

constexpr std::array<CanonicalModifier, 4> kCanonicalOrder{{
    {cmdKey, "CommandOrControl"},
    {controlKey, "Control"},
    {optionKey, "Alt"},
    {shiftKey, "Shift"},
}};

// The names of the key table are ASCII; other bytes pass through unchanged.
std::string toLower(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return result;
}

// Parts are not trimmed, so " K" is a part of its own and names no key.
std::vector<std::string_view> splitParts(std::string_view shortcut) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= shortcut.size()) {
        std::size_t end = shortcut.find('+', start);
        if (end == std::string_view::npos) {
            end = shortcut.size();
        }
        if (end > start) {
            parts.push_back(shortcut.substr(start, end - start));
        }
        start = end + 1;
    }
    return parts;
}

std::optional<std::uint32_t> modifierMaskFor(std::string_view lowerName) {
    for (const auto& modifier : kModifierNames) {
        if (modifier.name == lowerName) {
            return modifier.mask;
        }
    }
    return std::nullopt;
}

}  // namespace

std::span<const KeyCodeEntry> keyCodeTable() {
    return kKeyCodeTable;
}

std::span<const CaptureNameEntry> captureNameTable() {
    return kCaptureNameTable;
}

std::span<const DisplaySymbolEntry> displaySymbolTable() {
    return kDisplaySymbolTable;
}

std::optional<std::uint32_t> keyCodeFor(std::string_view keyName) {
    const std::string lower = toLower(keyName);
    for (const auto& entry : kKeyCodeTable) {
        if (entry.name == lower) {
            return entry.keyCode;
        }
    }
    return std::nullopt;
}

std::optional<ParsedShortcut> parseShortcut(std::string_view shortcut) {
    std::uint32_t mask = 0;
    std::optional<std::string_view> key;
    for (std::string_view part : splitParts(shortcut)) {
        if (auto modifier = modifierMaskFor(toLower(part))) {
            mask |= *modifier;
        } else {
            key = part;
        }
    }
    if (!key) {
        return std::nullopt;
    }
    auto code = keyCodeFor(*key);
    if (!code) {
        return std::nullopt;
    }
    return ParsedShortcut{*code, mask};
}

std::string displaySymbol(std::string_view keyName) {
    const std::string lower = toLower(keyName);
    for (const auto& entry : kDisplaySymbolTable) {
        if (entry.name == lower) {
            return std::string(entry.symbol);
        }
    }
    return toUpperUnicode(keyName);
}

std::string displayString(std::string_view shortcut) {
    std::string modifiers;
    std::string keyText;
    for (std::string_view part : splitParts(shortcut)) {
        const std::string lower = toLower(part);
        bool isModifier = false;
        for (const auto& modifier : kDisplayModifiers) {
            if (modifier.name == lower) {
                modifiers += modifier.symbol;
                isModifier = true;
                break;
            }
        }
        if (!isModifier) {
            keyText = displaySymbol(part);
        }
    }
    return modifiers + keyText;
}

std::string keyboardText(std::string_view shortcut) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 17> kKeyWords{{
        {"return", "Enter"},
        {"enter", "Enter"},
        {"tab", "Tab"},
        {"space", "Space"},
        {"backspace", "Backspace"},
        {"delete", "Backspace"},
        {"escape", "Esc"},
        {"esc", "Esc"},
        {"up", "Up"},
        {"down", "Down"},
        {"left", "Left"},
        {"right", "Right"},
        {"forwarddelete", "Delete"},
        {"home", "Home"},
        {"end", "End"},
        {"pageup", "Page Up"},
        {"pagedown", "Page Down"},
    }};
    bool control = false, alt = false, shift = false;
    std::string key;
    for (std::string_view part : splitParts(shortcut)) {
        const std::string lower = toLower(part);
        if (lower == "shift") {
            shift = true;
        } else if (lower == "alt" || lower == "option") {
            alt = true;
        } else if (lower == "super" ||
                   std::any_of(kDisplayModifiers.begin(), kDisplayModifiers.end(),
                               [&](const DisplayModifier& m) { return m.name == lower; })) {
            control = true;  // every other modifier name is Command or Control: Ctrl on X11
        } else {
            key = displaySymbol(part);
            for (const auto& [name, word] : kKeyWords) {
                if (name == lower) {
                    key = word;
                }
            }
        }
    }
    std::string text;
    for (auto [held, word] : {std::pair{control, "Ctrl+"}, {alt, "Alt+"}, {shift, "Shift+"}}) {
        if (held) {
            text += word;
        }
    }
    return text + key;
}

std::optional<std::string> captureNameFor(std::uint32_t keyCode) {
    for (const auto& entry : kCaptureNameTable) {
        if (entry.keyCode == keyCode) {
            return std::string(entry.name);
        }
    }
    return std::nullopt;
}

// F13-F15 are named by the capture table but have no registration code. Rather than grow
// the registration table (and with it the set of strings that parse), such keys are not
// captured: a shortcut that is stored and shown but can never fire would fail silently,
// while refusing at capture shows the user the unsupported-key warning at once.
std::optional<std::string> capturableKeyName(std::uint32_t keyCode) {
    auto name = captureNameFor(keyCode);
    if (!name || !keyCodeFor(*name)) {
        return std::nullopt;
    }
    return name;
}

std::optional<std::string> canonicalShortcut(std::uint32_t modifiers, std::uint32_t keyCode) {
    auto name = capturableKeyName(keyCode);
    if (!name) {
        return std::nullopt;
    }
    std::string result;
    for (const auto& modifier : kCanonicalOrder) {
        if (modifiers & modifier.mask) {
            result += modifier.name;
            result += '+';
        }
    }
    if (result.empty()) {
        return std::nullopt;
    }
    return result + *name;
}

}  // namespace orvex

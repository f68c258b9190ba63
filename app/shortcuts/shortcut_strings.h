#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace orvex {

// Hot-key modifier bits. A shortcut's modifiers travel through the whole app in this form;
// each desktop backend translates them to its own modifiers at the boundary.
inline constexpr std::uint32_t cmdKey = 0x0100;
inline constexpr std::uint32_t shiftKey = 0x0200;
inline constexpr std::uint32_t optionKey = 0x0800;
inline constexpr std::uint32_t controlKey = 0x1000;

struct ParsedShortcut {
    std::uint32_t keyCode = 0;
    std::uint32_t modifiers = 0;

    bool operator==(const ParsedShortcut&) const = default;
};

struct KeyCodeEntry {
    std::string_view name;  // lower case
    std::uint32_t keyCode;
};

struct CaptureNameEntry {
    std::uint32_t keyCode;
    std::string_view name;  // canonical spelling
};

struct DisplaySymbolEntry {
    std::string_view name;  // lower case
    std::string_view symbol;
};

// Key name to virtual key code, for registration.
std::span<const KeyCodeEntry> keyCodeTable();
// Virtual key code to the canonical key name the capture field writes.
std::span<const CaptureNameEntry> captureNameTable();
// Key name to the symbol shown in the interface.
std::span<const DisplaySymbolEntry> displaySymbolTable();

// "CommandOrControl+Shift+2" -> key 19, modifiers cmdKey|shiftKey. None when there is no
// key or the key has no code.
std::optional<ParsedShortcut> parseShortcut(std::string_view shortcut);
std::optional<std::uint32_t> keyCodeFor(std::string_view keyName);
// "CommandOrControl+Shift+2" -> "⌘⇧2".
std::string displayString(std::string_view shortcut);
// "CommandOrControl+Shift+2" -> "Ctrl+Shift+2": the words a PC keyboard's user reads, by the
// X11 key mapping (Command and Control are both Ctrl, Option is Alt).
std::string keyboardText(std::string_view shortcut);
std::string displaySymbol(std::string_view keyName);
std::optional<std::string> captureNameFor(std::uint32_t keyCode);

// The name the capture field may record for a key: its captureNameFor name, but only when
// that name can also be registered. F13-F15 have capture names but no key codes, so they
// are refused here and the capture field treats them like keys without a name.
std::optional<std::string> capturableKeyName(std::uint32_t keyCode);

// The canonical string for a key press: modifier names in the fixed order
// CommandOrControl, Control, Alt, Shift, then the key name, joined by "+". None when no
// modifier is held or the key cannot be captured (see capturableKeyName).
std::optional<std::string> canonicalShortcut(std::uint32_t modifiers, std::uint32_t keyCode);

}  // namespace orvex

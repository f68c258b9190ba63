#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "base/main_queue.h"

namespace orvex {

// A key press as the capture field sees it. The key is an X11 keysym (the key's own symbol,
// without Shift applied: "2", not "@"); a key of the keypad counts as a key without a name.
struct CaptureKeyPress {
    std::uint32_t keysym = 0;
    bool keypad = false;
    // The key itself is a modifier (Shift, Control, Alt, Super, Caps Lock...).
    bool modifierKey = false;
    bool control = false;  // gives "CommandOrControl"
    bool alt = false;
    bool shift = false;
    // Super: no shortcut can hold it here, so a press with it is never captured.
    bool super = false;
};

// The virtual key code of the shortcut tables for a keysym; none for keys they do not name.
std::optional<std::uint32_t> keyCodeForKeysym(std::uint32_t keysym);

// The recording logic of the shortcut field, without the widget: turns key presses into
// canonical shortcut strings, saves them at once for an existing preset and shows a short
// warning for keys that cannot be recorded. Main thread only.
class ShortcutCapture {
  public:
    static constexpr std::chrono::milliseconds kWarningDuration{2000};

    struct Hooks {
        // The editor's value takes every captured shortcut.
        std::function<void(const std::string&)> captured;
        // Saves an existing preset's shortcut (with the state's debounce).
        std::function<void(const std::string& presetId, const std::string&)> updateShortcut;
        // A stored shortcut as this desktop writes it.
        std::function<std::string(const std::string&)> displayText;
        // The text of the unsupported-key warning, in the current language.
        std::function<std::string()> warningText;
        // The shown text or the warning state changed.
        std::function<void()> changed;
    };

    ShortcutCapture(MainQueue& mainQueue, Hooks hooks);
    ~ShortcutCapture();
    ShortcutCapture(const ShortcutCapture&) = delete;
    ShortcutCapture& operator=(const ShortcutCapture&) = delete;

    // The editor's value changed. While the warning shows it is not drawn over.
    void setShortcut(const std::string& shortcut);
    // None while a new preset is being made: then nothing is saved until the editor saves.
    void setPresetId(std::optional<std::string> presetId);

    void keyDown(const CaptureKeyPress& press);
    void focusLost();

    bool warning() const { return warning_; }
    // What the field shows: the warning, or the current shortcut (empty: the placeholder).
    std::string shownText() const;

  private:
    void showUnsupportedKeyWarning();
    void clearWarning();
    void notify();

    MainQueue& mainQueue_;
    Hooks hooks_;
    std::optional<std::string> presetId_;
    std::string currentShortcut_;
    bool warning_ = false;
    TimerRef errorTimer_;
};

}  // namespace orvex

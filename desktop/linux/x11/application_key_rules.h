#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "desktop/linux/x11/window_class.h"

namespace orvex::linux_desktop {

// A key and the modifiers held around it, as X11 names them.
struct KeyChord {
    std::uint32_t keysym = 0;
    bool shift = false;
    bool control = false;
    bool alt = false;
    bool super = false;

    bool operator==(const KeyChord&) const = default;
};

// One chord an application reads differently: `to` is what it must receive instead, and
// nothing when the chord must not be sent at all (Control+C interrupts a terminal's program).
struct ChordRewrite {
    KeyChord from;
    std::optional<KeyChord> to;
    // `to` pastes the primary selection (xterm's Shift+Insert), not the clipboard.
    bool pastesPrimary = false;
};

// What an application receives for a chord the scripts send.
struct AdaptedChord {
    // Nothing: the chord is not sent at all.
    std::optional<KeyChord> chord;
    // The clipboard's text must be offered as the primary selection just before the chord.
    bool pastesPrimary = false;
};

// How one kind of application takes the editing chords the scripts send.
struct ApplicationKeyRules {
    std::string name;
    // Matched without regard to case against the WM_CLASS instance and class names.
    std::vector<std::string> windowClasses;
    // Matched against the file name of the process's executable.
    std::vector<std::string> programs;
    // Terminal emulators are what scripts call "Terminal".
    bool terminal = false;
    std::vector<ChordRewrite> rewrites;
};

// The rules this desktop knows, terminal emulators first.
const std::vector<ApplicationKeyRules>& applicationKeyRules();

// The rules for an application, found by its window class or program; nothing for an
// application that takes the chords as they are. `defaultTerminal` is the program the
// session's x-terminal-emulator starts: it counts as a terminal even when no rule names it.
const ApplicationKeyRules* keyRulesFor(const std::optional<WindowClass>& windowClass,
                                       const std::string& executable,
                                       const std::string& defaultTerminal = {});

// What to send for `chord` to an application with `rules` (null: the chord unchanged).
AdaptedChord adaptChord(const ApplicationKeyRules* rules, const KeyChord& chord);

// x-terminal-emulator as found on PATH, not followed through links; empty when absent.
std::string terminalLauncherPath();

// The program file name x-terminal-emulator starts, followed through links
// (/etc/alternatives); empty when there is none.
std::string defaultTerminalProgram();

}  // namespace orvex::linux_desktop

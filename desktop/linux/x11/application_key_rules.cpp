#include "desktop/linux/x11/application_key_rules.h"

#include <X11/keysym.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "base/executable_search.h"

namespace orvex::linux_desktop {

namespace {

KeyChord control(std::uint32_t keysym) {
    KeyChord chord;
    chord.keysym = keysym;
    chord.control = true;
    return chord;
}

KeyChord controlShift(std::uint32_t keysym) {
    KeyChord chord = control(keysym);
    chord.shift = true;
    return chord;
}

KeyChord shiftInsert() {
    KeyChord chord;
    chord.keysym = XK_Insert;
    chord.shift = true;
    return chord;
}

// Terminals paste with Shift+Insert: Control+V is a literal-next key to the shell. The text
// is offered as both the clipboard and the primary selection, so it arrives whichever one a
// terminal's Shift+Insert reads. Control+C and Control+X would interrupt the program.
std::vector<ChordRewrite> terminalRewrites(bool copiesWithControlShiftC) {
    std::vector<ChordRewrite> rewrites{{control(XK_v), shiftInsert()}, {control(XK_x), {}}};
    if (copiesWithControlShiftC) {
        rewrites.push_back({control(XK_c), controlShift(XK_c)});
    } else {
        // Its selection is already the primary selection; there is no copy key.
        rewrites.push_back({control(XK_c), {}});
    }
    return rewrites;
}

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string fileName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

}  // namespace

const std::vector<ApplicationKeyRules>& applicationKeyRules() {
    static const std::vector<ApplicationKeyRules> rules{
        {"xterm",
         {"xterm", "uxterm"},
         {"xterm", "uxterm", "lxterm"},
         true,
         terminalRewrites(false)},
        {"rxvt",
         {"urxvt", "rxvt"},
         {"urxvt", "rxvt", "rxvt-unicode"},
         true,
         terminalRewrites(false)},
        {"st", {"st-256color", "st"}, {"st"}, true, terminalRewrites(false)},
        {"GNOME Terminal",
         {"gnome-terminal", "gnome-terminal-server"},
         {"gnome-terminal", "gnome-terminal-server", "gnome-terminal.real"},
         true,
         terminalRewrites(true)},
        {"LXTerminal", {"lxterminal"}, {"lxterminal"}, true, terminalRewrites(true)},
        {"Xfce Terminal", {"xfce4-terminal"}, {"xfce4-terminal"}, true, terminalRewrites(true)},
        {"MATE Terminal", {"mate-terminal"}, {"mate-terminal"}, true, terminalRewrites(true)},
        {"Konsole", {"konsole"}, {"konsole"}, true, terminalRewrites(true)},
        {"Tilix", {"tilix"}, {"tilix"}, true, terminalRewrites(true)},
        {"Terminator", {"terminator"}, {"terminator"}, true, terminalRewrites(true)},
        {"QTerminal", {"qterminal"}, {"qterminal"}, true, terminalRewrites(true)},
        {"Alacritty", {"alacritty"}, {"alacritty"}, true, terminalRewrites(true)},
        {"kitty", {"kitty"}, {"kitty"}, true, terminalRewrites(true)},
        {"Sakura", {"sakura"}, {"sakura"}, true, terminalRewrites(true)},
    };
    return rules;
}

const ApplicationKeyRules* keyRulesFor(const std::optional<WindowClass>& windowClass,
                                       const std::string& executable,
                                       const std::string& defaultTerminal) {
    const std::string program = fileName(executable);
    for (const ApplicationKeyRules& rules : applicationKeyRules()) {
        for (const std::string& name : rules.windowClasses) {
            if (windowClass &&
                (lower(windowClass->instance) == name || lower(windowClass->className) == name))
                return &rules;
        }
        for (const std::string& name : rules.programs) {
            if (!program.empty() && program == name)
                return &rules;
        }
    }
    if (!program.empty() && program == fileName(defaultTerminal)) {
        static const ApplicationKeyRules other{"terminal", {}, {}, true, terminalRewrites(true)};
        return &other;
    }
    return nullptr;
}

std::optional<KeyChord> rewriteChord(const ApplicationKeyRules* rules, const KeyChord& chord) {
    if (rules) {
        for (const ChordRewrite& rewrite : rules->rewrites) {
            if (rewrite.from == chord)
                return rewrite.to;
        }
    }
    return chord;
}

std::string terminalLauncherPath() {
    return findExecutable("x-terminal-emulator", executableSearchPath()).value_or("");
}

std::string defaultTerminalProgram() {
    std::string launcher = terminalLauncherPath();
    if (launcher.empty())
        return {};
    std::error_code error;
    auto resolved = std::filesystem::canonical(launcher, error);
    return error ? launcher : resolved.string();
}

}  // namespace orvex::linux_desktop

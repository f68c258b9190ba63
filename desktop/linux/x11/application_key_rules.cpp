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

// Control+V is a literal-next key to a terminal's shell, and Control+C and Control+X would
// interrupt its program, so terminals copy and paste with keys of their own.
enum class CopyKey {
    controlShiftC,
    // Its selection is already the primary selection; there is no copy key.
    none,
};
enum class PasteKey {
    // Pastes the clipboard.
    controlShiftV,
    // Pastes the primary selection in xterm and its kin. Taking that selection clears the
    // selection of whichever application held it (a GTK editor deselects its text), so it
    // is used only where the terminal has no clipboard paste key.
    shiftInsert,
};

std::vector<ChordRewrite> terminalRewrites(CopyKey copy, PasteKey paste) {
    std::vector<ChordRewrite> rewrites;
    if (paste == PasteKey::controlShiftV)
        rewrites.push_back({control(XK_v), controlShift(XK_v)});
    else
        rewrites.push_back({control(XK_v), shiftInsert(), /*pastesPrimary=*/true});
    rewrites.push_back({control(XK_x), {}});
    if (copy == CopyKey::controlShiftC)
        rewrites.push_back({control(XK_c), controlShift(XK_c)});
    else
        rewrites.push_back({control(XK_c), {}});
    return rewrites;
}

std::vector<ChordRewrite> clipboardTerminal() {
    return terminalRewrites(CopyKey::controlShiftC, PasteKey::controlShiftV);
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
         terminalRewrites(CopyKey::none, PasteKey::shiftInsert)},
        // urxvt's clipboard paste (Control+Meta+V) depends on which key is Meta.
        {"rxvt",
         {"urxvt", "rxvt"},
         {"urxvt", "rxvt", "rxvt-unicode"},
         true,
         terminalRewrites(CopyKey::none, PasteKey::shiftInsert)},
        // st's stock key table pastes the clipboard with Control+Shift+V.
        {"st",
         {"st-256color", "st"},
         {"st"},
         true,
         terminalRewrites(CopyKey::none, PasteKey::controlShiftV)},
        {"GNOME Terminal",
         {"gnome-terminal", "gnome-terminal-server"},
         {"gnome-terminal", "gnome-terminal-server", "gnome-terminal.real"},
         true,
         clipboardTerminal()},
        {"LXTerminal", {"lxterminal"}, {"lxterminal"}, true, clipboardTerminal()},
        {"Xfce Terminal", {"xfce4-terminal"}, {"xfce4-terminal"}, true, clipboardTerminal()},
        {"MATE Terminal", {"mate-terminal"}, {"mate-terminal"}, true, clipboardTerminal()},
        {"Konsole", {"konsole"}, {"konsole"}, true, clipboardTerminal()},
        {"Tilix", {"tilix"}, {"tilix"}, true, clipboardTerminal()},
        {"Terminator", {"terminator"}, {"terminator"}, true, clipboardTerminal()},
        {"QTerminal", {"qterminal"}, {"qterminal"}, true, clipboardTerminal()},
        {"Alacritty", {"alacritty"}, {"alacritty"}, true, clipboardTerminal()},
        {"kitty", {"kitty"}, {"kitty"}, true, clipboardTerminal()},
        {"Sakura", {"sakura"}, {"sakura"}, true, clipboardTerminal()},
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
        // A terminal nobody described: Shift+Insert with the text in both selections pastes
        // in nearly every terminal, whichever selection it reads.
        static const ApplicationKeyRules other{
            "terminal",
            {},
            {},
            true,
            terminalRewrites(CopyKey::controlShiftC, PasteKey::shiftInsert)};
        return &other;
    }
    return nullptr;
}

AdaptedChord adaptChord(const ApplicationKeyRules* rules, const KeyChord& chord) {
    if (rules) {
        for (const ChordRewrite& rewrite : rules->rewrites) {
            if (rewrite.from == chord)
                return {rewrite.to, rewrite.pastesPrimary};
        }
    }
    return {chord, false};
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

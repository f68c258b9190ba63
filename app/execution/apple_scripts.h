#pragma once

#include <string>
#include <string_view>

namespace orvex {

// The fixed automation scripts. Their texts are behaviour: indentation, line feeds and
// characters are exactly what is sent, so a change here changes what other applications
// receive.

// One-line keystroke scripts for System Events.
std::string pasteKeystrokeScript();
std::string copyKeystrokeScript();
std::string cutKeystrokeScript();
std::string newChatKeystrokeScript();
std::string sendKeystrokeScript();

// Command-V, a 0.3 s pause, then Return (autoSend) or nothing.
std::string pasteScript(bool autoSend);
// Activates Terminal, then pastes as pasteScript does, with a pause before the paste too.
std::string terminalPasteScript(bool autoSend);
// Command-A, a pause, Command-C.
std::string selectAllAndCopyScript();

// "true" when Terminal is among System Events' processes.
std::string terminalProcessCheckScript();
// The number of windows of the Terminal and Finder processes.
std::string terminalWindowCountScript();
std::string finderWindowCountScript();

// Brings the application of that name forward. The name is escaped, so any text stays
// inside the script's string literal.
std::string activateByNameScript(std::string_view name);

// The URL of Chrome's front window's active tab.
std::string frontTabQueryScript();

// Brings forward a Chrome tab whose URL contains `host` (an active tab first, then any
// tab), or opens `url` in a new tab or window; the result is "true" when a tab was found.
std::string chromeOpenOrFocusTabScript(std::string_view host, std::string_view url);

// The folder of Finder's front window as a POSIX path, "" without a window.
std::string finderFrontFolderScript();
// Reads a Finder preference through the `defaults` tool. A key other than letters, digits,
// ".", "_" and "-" is quoted for the shell.
std::string finderDefaultReadScript(std::string_view key);

// Escapes backslashes and double quotes for a script string literal.
std::string escapeScriptString(std::string_view text);

}  // namespace orvex

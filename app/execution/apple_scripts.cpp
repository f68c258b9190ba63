#include "app/execution/apple_scripts.h"

namespace orvex {

namespace {

std::string systemEventsKeystroke(std::string_view keys) {
    return "    tell application \"System Events\" to keystroke " + std::string(keys);
}

std::string autoSendLine(bool autoSend) {
    return autoSend ? "        keystroke return" : "        -- paste only";
}

}  // namespace

std::string escapeScriptString(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
        }
        out += c;
    }
    return out;
}

std::string pasteKeystrokeScript() {
    return systemEventsKeystroke("\"v\" using command down");
}

std::string copyKeystrokeScript() {
    return systemEventsKeystroke("\"c\" using command down");
}

std::string cutKeystrokeScript() {
    return systemEventsKeystroke("\"x\" using command down");
}

std::string newChatKeystrokeScript() {
    return systemEventsKeystroke("\"n\" using command down");
}

std::string sendKeystrokeScript() {
    return systemEventsKeystroke("return");
}

std::string pasteScript(bool autoSend) {
    return "    tell application \"System Events\"\n"
           "        keystroke \"v\" using command down\n"
           "        delay 0.3\n" +
           autoSendLine(autoSend) +
           "\n"
           "    end tell";
}

std::string terminalPasteScript(bool autoSend) {
    return "    tell application \"Terminal\"\n"
           "        activate\n"
           "    end tell\n"
           "    tell application \"System Events\"\n"
           "        delay 0.3\n"
           "        keystroke \"v\" using command down\n"
           "        delay 0.3\n" +
           autoSendLine(autoSend) +
           "\n"
           "    end tell";
}

std::string selectAllAndCopyScript() {
    return "    tell application \"System Events\"\n"
           "        keystroke \"a\" using command down\n"
           "        delay 0.3\n"
           "        keystroke \"c\" using command down\n"
           "    end tell";
}

std::string terminalProcessCheckScript() {
    return "    tell application \"System Events\" to return (name of processes) contains "
           "\"Terminal\"";
}

std::string terminalWindowCountScript() {
    return "    tell application \"System Events\" to tell process \"Terminal\" to return count "
           "of windows";
}

std::string finderWindowCountScript() {
    return "    tell application \"System Events\" to tell process \"Finder\" to return count of "
           "windows";
}

std::string activateByNameScript(std::string_view name) {
    return "tell application \"" + escapeScriptString(name) + "\" to activate";
}

std::string frontTabQueryScript() {
    return "    tell application \"Google Chrome\"\n"
           "        return URL of active tab of front window\n"
           "    end tell";
}

std::string chromeOpenOrFocusTabScript(std::string_view host, std::string_view url) {
    // Seven pieces: three fixed texts around the host and the URL (twice). The addresses
    // are fixed ones, but they are escaped all the same so no text can end a literal.
    static constexpr std::string_view beforeHost = "    set targetDomain to \"";
    static constexpr std::string_view afterHost =
        "\"\n"
        "    set tabFound to false\n"
        "    tell application \"Google Chrome\"\n"
        "        activate\n"
        "        if (count of windows) > 0 then\n"
        "            repeat with w in windows\n"
        "                set activeIdx to active tab index of w\n"
        "                if URL of (tab activeIdx of w) contains targetDomain then\n"
        "                    set index of w to 1\n"
        "                    set tabFound to true\n"
        "                    exit repeat\n"
        "                end if\n"
        "            end repeat\n"
        "            if not tabFound then\n"
        "                repeat with w in windows\n"
        "                    set activeIdx to active tab index of w\n"
        "                    repeat with i from 1 to count of tabs of w\n"
        "                        if i \xE2\x89\xA0 activeIdx then\n"
        "                            if URL of (tab i of w) contains targetDomain then\n"
        "                                set active tab index of w to i\n"
        "                                set index of w to 1\n"
        "                                set tabFound to true\n"
        "                                exit repeat\n"
        "                            end if\n"
        "                        end if\n"
        "                    end repeat\n"
        "                    if tabFound then exit repeat\n"
        "                end repeat\n"
        "            end if\n"
        "            if not tabFound then\n"
        "                tell front window to make new tab with properties {URL:\"";
    static constexpr std::string_view betweenURLs =
        "\"}\n"
        "            end if\n"
        "        else\n"
        "            make new window\n"
        "            set URL of active tab of front window to \"";
    static constexpr std::string_view afterURL =
        "\"\n"
        "        end if\n"
        "    end tell\n"
        "    return tabFound";
    std::string escapedURL = escapeScriptString(url);
    std::string text;
    text += beforeHost;
    text += escapeScriptString(host);
    text += afterHost;
    text += escapedURL;
    text += betweenURLs;
    text += escapedURL;
    text += afterURL;
    return text;
}

std::string finderFrontFolderScript() {
    return "    tell application \"Finder\"\n"
           "        if (count of windows) > 0 then\n"
           "            return POSIX path of (target of front window as alias)\n"
           "        else\n"
           "            return \"\"\n"
           "        end if\n"
           "    end tell";
}

std::string finderDefaultReadScript(std::string_view key) {
    // The key ends up in a shell command line: a plain key goes in as it is, anything else
    // is single-quoted so the shell reads it as one word.
    bool plain = !key.empty();
    for (char c : key) {
        bool safe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                    c == '.' || c == '_' || c == '-';
        plain = plain && safe;
    }
    std::string word;
    if (plain) {
        word = key;
    } else {
        word = "'";
        for (char c : key) {
            word += c == '\'' ? std::string("'\\''") : std::string(1, c);
        }
        word += "'";
    }
    return "    do shell script \"defaults read com.apple.finder " + escapeScriptString(word) +
           " 2>/dev/null\"";
}

}  // namespace orvex

// The fixed scripts with what they are given varied: application names, addresses,
// preference keys and pasted text come from presets, settings and the pasteboard. Whatever
// they are, the script must compile, and each text must arrive where it was meant to go.
// The input is a selector byte, then up to two texts separated by NUL.
#include <cstdlib>
#include <filesystem>

#include "app/execution/apple_scripts.h"
#include "base/clock.h"
#include "base/manual_main_queue.h"
#include "desktop/script/script_value.h"
#include "desktop/sim/sim_pasteboard.h"
#include "desktop/sim/sim_scenario.h"
#include "desktop/sim/sim_scripting.h"
#include "fuzz/fuzz_check.h"

using namespace orvex;

namespace {

// What the fixed scripts address: an editor with a selection, Chrome with two windows (the
// front one's active tab is not the AI chat), Terminal and Finder.
const Json& scenario() {
    static const Json parsed = *parseJson(R"({
      "permissions": {"accessibility": "granted", "browserAutomation": "granted"},
      "frontmost": "com.apple.TextEdit",
      "applications": [
        {"bundleId": "com.apple.TextEdit", "name": "TextEdit", "kind": "editor", "running": true,
         "windows": [{"title": "notes.txt", "elements": [{"role": "AXTextArea", "value": "notes",
           "settable": true, "focused": true, "selection": [0, 5]}]}]},
        {"bundleId": "com.google.Chrome", "name": "Google Chrome", "kind": "browser",
         "running": true, "windows": [
           {"activeTab": 2, "tabs": [{"url": "https://chatgpt.com/"},
                                     {"url": "https://news.example.com/"}]},
           {"tabs": [{"url": "https://claude.ai/new"}]}]},
        {"bundleId": "com.apple.Terminal", "name": "Terminal", "kind": "terminal",
         "running": true, "windows": [{"title": "zsh"}]},
        {"bundleId": "com.apple.finder", "name": "Finder", "kind": "fileManager",
         "running": true, "windows": [{"folder": "~"}]}]})")
                                    .value;
    return parsed;
}

const std::filesystem::path& scratch() {
    static const std::filesystem::path path = [] {
        // In the working directory, which scripts/fuzz makes a scratch one.
        char pattern[] = "orvex-script-XXXXXX";
        const char* made = mkdtemp(pattern);
        fuzz::check(made != nullptr, "no scratch directory");
        return std::filesystem::absolute(made);
    }();
    return path;
}

// Reads back the one shell word finderDefaultReadScript makes: plain, or single-quoted
// pieces joined by \'.
std::string unquoteShellWord(std::string_view word) {
    std::string out;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (word[i] == '\'') {
            const std::size_t end = word.find('\'', i + 1);
            fuzz::check(end != std::string_view::npos, "an unterminated shell quote");
            out += word.substr(i + 1, end - i - 1);
            i = end;
        } else if (word[i] == '\\' && i + 1 < word.size()) {
            out += word[++i];
        } else {
            out += word[i];
        }
    }
    return out;
}

void checkCompiled(const ScriptOutcome& outcome) {
    // The error number comes last, after any text the message quotes.
    fuzz::check(!outcome.failed || !outcome.errorMessage->ends_with(" (-2741)"),
                "an input broke the script's syntax");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string_view rest = fuzz::text(data + 1, size - 1);
    const std::string first(rest.substr(0, rest.find('\0')));
    const std::string second(rest.size() > first.size() ? rest.substr(first.size() + 1) : "");

    VirtualClock clock;
    ManualMainQueue queue(clock);
    auto desktop = SimDesktop::create(clock, queue);
    fuzz::check(!applyScenario(*desktop, scenario(), scratch()), "the scenario does not load");
    SimScripting scripting(desktop);
    ScriptHost& host = scripting.host();

    switch (data[0] % 4) {
        case 0:
            checkCompiled(host.run(activateByNameScript(first)));
            break;
        case 1: {
            checkCompiled(host.run(chromeOpenOrFocusTabScript(first, second)));
            ScriptOutcome front = host.run(frontTabQueryScript());
            fuzz::check(!front.failed && front.stringValue, "Chrome has no front tab");
            fuzz::check(
                // "contains" ignores case, as the script language does.
                *front.stringValue == second ||
                    script::foldCase(*front.stringValue).find(script::foldCase(first)) !=
                        std::string::npos,
                "the front tab is neither the one found nor the one opened");
            break;
        }
        case 2: {
            checkCompiled(host.run(finderDefaultReadScript(first)));
            const std::string prefix = "defaults read com.apple.finder ";
            const std::string suffix = " 2>/dev/null";
            std::optional<std::string> command;
            for (const Json& entry : desktop->journal()) {
                if (entry.value("executable", "") == "/bin/sh") {
                    command = entry.at("arguments").at(1).get<std::string>();
                }
            }
            fuzz::check(command && command->starts_with(prefix) && command->ends_with(suffix),
                        "the shell command is not the one written");
            fuzz::check(
                unquoteShellWord(command->substr(
                    prefix.size(), command->size() - prefix.size() - suffix.size())) == first,
                "the shell reads another key");
            break;
        }
        default:
            desktop->pasteboard().writeString(first);
            checkCompiled(host.run(data[0] & 4 ? terminalPasteScript(data[0] & 8)
                                               : pasteScript(data[0] & 8)));
            break;
    }
    return 0;
}

#include "app/execution/apple_scripts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvex {
namespace {

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        text += (i ? "\n" : "") + lines[i];
    }
    return text;
}

TEST(AppleScriptsTest, SingleKeystrokeScripts) {
    EXPECT_EQ(pasteKeystrokeScript(),
              "    tell application \"System Events\" to keystroke \"v\" using command down");
    EXPECT_EQ(copyKeystrokeScript(),
              "    tell application \"System Events\" to keystroke \"c\" using command down");
    EXPECT_EQ(cutKeystrokeScript(),
              "    tell application \"System Events\" to keystroke \"x\" using command down");
    EXPECT_EQ(newChatKeystrokeScript(),
              "    tell application \"System Events\" to keystroke \"n\" using command down");
    EXPECT_EQ(sendKeystrokeScript(), "    tell application \"System Events\" to keystroke return");
}

TEST(AppleScriptsTest, PasteScriptsEndWithReturnOrTheComment) {
    EXPECT_EQ(pasteScript(true), joinLines({
                                     "    tell application \"System Events\"",
                                     "        keystroke \"v\" using command down",
                                     "        delay 0.3",
                                     "        keystroke return",
                                     "    end tell",
                                 }));
    EXPECT_EQ(pasteScript(false), joinLines({
                                      "    tell application \"System Events\"",
                                      "        keystroke \"v\" using command down",
                                      "        delay 0.3",
                                      "        -- paste only",
                                      "    end tell",
                                  }));
    std::vector<std::string> terminal = {
        "    tell application \"Terminal\"",
        "        activate",
        "    end tell",
        "    tell application \"System Events\"",
        "        delay 0.3",
        "        keystroke \"v\" using command down",
        "        delay 0.3",
        "        keystroke return",
        "    end tell",
    };
    EXPECT_EQ(terminalPasteScript(true), joinLines(terminal));
    terminal[7] = "        -- paste only";
    EXPECT_EQ(terminalPasteScript(false), joinLines(terminal));
    EXPECT_EQ(selectAllAndCopyScript(), joinLines({
                                            "    tell application \"System Events\"",
                                            "        keystroke \"a\" using command down",
                                            "        delay 0.3",
                                            "        keystroke \"c\" using command down",
                                            "    end tell",
                                        }));
}

TEST(AppleScriptsTest, QueryScripts) {
    EXPECT_EQ(terminalProcessCheckScript(),
              "    tell application \"System Events\" to return (name of processes) contains "
              "\"Terminal\"");
    EXPECT_EQ(terminalWindowCountScript(),
              "    tell application \"System Events\" to tell process \"Terminal\" to return "
              "count of windows");
    EXPECT_EQ(finderWindowCountScript(),
              "    tell application \"System Events\" to tell process \"Finder\" to return count "
              "of windows");
    EXPECT_EQ(frontTabQueryScript(), joinLines({
                                         "    tell application \"Google Chrome\"",
                                         "        return URL of active tab of front window",
                                         "    end tell",
                                     }));
    EXPECT_EQ(finderFrontFolderScript(),
              joinLines({
                  "    tell application \"Finder\"",
                  "        if (count of windows) > 0 then",
                  "            return POSIX path of (target of front window as alias)",
                  "        else",
                  "            return \"\"",
                  "        end if",
                  "    end tell",
              }));
}

TEST(AppleScriptsTest, NamesAndKeysCannotLeaveTheirLiterals) {
    EXPECT_EQ(activateByNameScript("Finder"), "tell application \"Finder\" to activate");
    EXPECT_EQ(activateByNameScript("Evil\" to quit\n--\\"),
              "tell application \"Evil\\\" to quit\n--\\\\\" to activate");
    EXPECT_EQ(finderDefaultReadScript("NewWindowTarget"),
              "    do shell script \"defaults read com.apple.finder NewWindowTarget 2>/dev/null\"");
    // A key with shell syntax is one quoted word, escaped again for the literal.
    EXPECT_EQ(finderDefaultReadScript("a;b 'c\""),
              "    do shell script \"defaults read com.apple.finder 'a;b '\\\\''c\\\"' "
              "2>/dev/null\"");
}

TEST(AppleScriptsTest, TabSearchScriptIsTheThirtyEightLines) {
    std::vector<std::string> expected = {
        "    set targetDomain to \"chat.example.com\"",
        "    set tabFound to false",
        "    tell application \"Google Chrome\"",
        "        activate",
        "        if (count of windows) > 0 then",
        "            repeat with w in windows",
        "                set activeIdx to active tab index of w",
        "                if URL of (tab activeIdx of w) contains targetDomain then",
        "                    set index of w to 1",
        "                    set tabFound to true",
        "                    exit repeat",
        "                end if",
        "            end repeat",
        "            if not tabFound then",
        "                repeat with w in windows",
        "                    set activeIdx to active tab index of w",
        "                    repeat with i from 1 to count of tabs of w",
        "                        if i \xE2\x89\xA0 activeIdx then",
        "                            if URL of (tab i of w) contains targetDomain then",
        "                                set active tab index of w to i",
        "                                set index of w to 1",
        "                                set tabFound to true",
        "                                exit repeat",
        "                            end if",
        "                        end if",
        "                    end repeat",
        "                    if tabFound then exit repeat",
        "                end repeat",
        "            end if",
        "            if not tabFound then",
        "                tell front window to make new tab with properties "
        "{URL:\"https://chat.example.com/new?q=1\"}",
        "            end if",
        "        else",
        "            make new window",
        "            set URL of active tab of front window to "
        "\"https://chat.example.com/new?q=1\"",
        "        end if",
        "    end tell",
        "    return tabFound",
    };
    ASSERT_EQ(expected.size(), 38u);
    EXPECT_EQ(chromeOpenOrFocusTabScript("chat.example.com", "https://chat.example.com/new?q=1"),
              joinLines(expected));
}

}  // namespace
}  // namespace orvex

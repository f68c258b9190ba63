#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "desktop/desktop.h"

namespace orvex {

// What a diagnostic probe found: a report, or the reason it could not run.
struct ProbeOutcome {
    bool success = false;
    std::string text;
};

// Characters here are those of the desktop layer's text ranges (Unicode code points; a
// byte that is not UTF-8 counts as one), so a count can be used as a range length.
std::int64_t characterCount(std::string_view text);
// The first `count` characters, or all of the text when it is shorter.
std::string firstCharacterPrefix(std::string_view text, std::int64_t count);

// "debug.ax-read": how the focused element and the first text element of the frontmost
// application look through three ways of asking accessibility, one report line each.
ProbeOutcome axReadReport(Desktop& desktop);

// "debug.ax-select-all": selects the whole text of the frontmost application's focused
// element and reports what is selected afterwards.
ProbeOutcome axSelectAllReport(Desktop& desktop);

// The depth-first search of "debug.ax-read": the element itself before its children, at
// most nine levels below `root`; the first AXTextArea or AXTextField, or null.
AXElementRef findTextElement(const AXElementRef& root);

}  // namespace orvex

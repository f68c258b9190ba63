#pragma once

#include <string>

#include "app/execution/execution_config.h"
#include "app/execution/execution_context.h"

namespace orvex {

// The web route for a text: the service's tab in Chrome brought forward (or opened and
// given time to load), the text on the pasteboard, the page's input focused, then pasted
// (and sent with `autoSend`). The browser's refusals pass through as AppleScriptError
// ("Chrome automation denied", "Chrome not installed"); no focusable input is SendError.
void sendToWeb(const ExecutionContext& context, const std::string& text, WebFlavor flavor,
               bool autoSend);

// The web route for an image already on the pasteboard: the tab brought forward or opened
// and its input focused ("status.loadingPage" is the one status shown); the paste is the
// caller's.
void prepareWebForCapture(const ExecutionContext& context, WebFlavor flavor);

}  // namespace orvex

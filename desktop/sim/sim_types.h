#pragma once

// Plain value types of the simulated desktop: what a scenario describes and what the
// model hands out when asked. Nothing here refers to the live model.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/accessibility.h"
#include "desktop/keyboard.h"

namespace orvex {

using SimNodeId = std::uint64_t;
using SimWindowId = std::uint64_t;
using SimTabId = std::uint64_t;

// What an application does with keystrokes and launches.
enum class SimAppKind {
    generic,      // keeps its trees; Command-N does nothing
    editor,       // a document window with one text area; Command-N opens another
    chat,         // an AI chat: history list plus an input that sends on Return
    terminal,     // a shell window whose text area takes each Return-ended line
    fileManager,  // windows showing folders
    browser,      // windows of tabs, each with its own page tree
    self,         // this application (Orvex) itself
};
std::optional<SimAppKind> simAppKindFromString(std::string_view text);
std::string_view toString(SimAppKind kind);

// A permission the user grants or refuses. `grantedOnPrompt` starts refused and turns
// granted once the application has asked (the user clicks "allow"); the asking call itself
// still reports the state before the answer, as the real prompts do.
enum class SimPermissionState { granted, denied, grantedOnPrompt };
std::optional<SimPermissionState> simPermissionStateFromString(std::string_view text);
std::string_view toString(SimPermissionState state);

enum class SimPermission { accessibility, screenRecording, browserAutomation };
std::string_view toString(SimPermission permission);

struct SimFrame {
    AXPoint position;
    AXSize size;
    bool operator==(const SimFrame&) const = default;
};

struct SimImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> png;
};

// One accessibility element of a window or page, as a scenario describes it.
struct SimElementSpec {
    std::string role = "AXGroup";
    // A name for finding the element from tests and scripts ("chat-input"); never shown
    // through accessibility.
    std::string id;
    std::optional<std::string> title;
    std::optional<std::string> description;
    std::optional<std::string> placeholder;
    std::optional<std::string> value;
    // Whether "AXValue" can be written (an editable input).
    bool settable = false;
    // Whether "AXFocused" can be written; by default text inputs and settable elements.
    std::optional<bool> focusable;
    std::optional<AXRange> selection;
    std::optional<SimFrame> frame;
    bool focused = false;
    // Return sends the content as a message (chat inputs, the terminal's shell).
    bool sendsOnReturn = false;
    // Paste of an image attaches it; by default the same as `sendsOnReturn`.
    std::optional<bool> acceptsImages;
    // Takes the focus back this many times when another element of its window is focused
    // through accessibility: a browser's address bar on a cold start.
    int takesFocusBack = 0;
    std::vector<SimElementSpec> children;
};

struct SimTabSpec {
    std::string url = "about:blank";
    std::string title;
    // "blank" (an empty web area), "chat" (a chat page with a real input), "custom"
    // (exactly `elements` inside the web area), or "" for the page registered for the URL's
    // host (SimDesktop::setWebPage), blank when none is.
    std::string page = "blank";
    // Label (AXDescription) of the chat page's input, e.g. "Gemini".
    std::optional<std::string> inputLabel;
    std::vector<SimElementSpec> elements;
};

struct SimWindowSpec {
    std::string title;
    std::optional<SimFrame> frame;
    bool minimized = false;
    // File manager: the folder shown (absolute path).
    std::optional<std::string> folder;
    // Browser: the tabs, and the active one counted from 1 as the browser does.
    std::vector<SimTabSpec> tabs;
    int activeTab = 1;
    // The window's own tree; absent means the kind's standard window.
    std::optional<std::vector<SimElementSpec>> elements;
};

struct SimAppSpec {
    std::optional<std::string> bundleId;
    std::string name;
    SimAppKind kind = SimAppKind::generic;
    // Where the application lives; by default "/Applications/<name>.app".
    std::optional<std::string> path;
    bool installed = true;
    bool running = false;
    // Registered for https links; by default true for browsers.
    std::optional<bool> opensHttps;
    // File name extensions (without dot) the application opens by default.
    std::vector<std::string> documentTypes;
    // Ignores Command-X (an application without cut).
    bool ignoresCut = false;
    // Launching fails with this message.
    std::optional<std::string> launchError;
    // Every accessibility query on this application fails ("cannot complete").
    bool accessibilityBroken = false;
    // Windows of the running application (ignored unless `running`).
    std::vector<SimWindowSpec> windows;
    // Window opened when the application is launched or reopened without windows; absent
    // means the kind's standard window.
    std::optional<SimWindowSpec> launchWindow;
};

// A snapshot of one application.
struct SimAppInfo {
    std::string key;  // bundle identifier, or the name when it has none
    std::optional<std::string> bundleId;
    std::string name;
    SimAppKind kind = SimAppKind::generic;
    std::string path;
    bool installed = false;
    bool running = false;
    std::int32_t pid = 0;              // 0 when not running
    std::vector<SimWindowId> windows;  // front to back
};

struct SimTabInfo {
    SimTabId id = 0;
    std::string url;
    std::string title;
};

// A snapshot of one window.
struct SimWindowInfo {
    SimWindowId id = 0;
    std::string appKey;
    std::string title;
    SimFrame frame;
    bool minimized = false;
    std::optional<std::string> folder;
    std::vector<SimTabInfo> tabs;
    int activeTabIndex = 0;  // counted from 1; 0 when the window has no tabs
};

// A message an application received: Return in a chat input or in the terminal.
struct SimMessage {
    std::string appKey;
    std::int32_t pid = 0;
    SimWindowId window = 0;
    std::optional<std::string> url;  // the page, for a browser tab
    std::string text;
    int images = 0;
};

// What the next interactive capture does.
struct SimCaptureResult {
    bool cancelled = false;
    int width = 320;
    int height = 200;
};

}  // namespace orvex

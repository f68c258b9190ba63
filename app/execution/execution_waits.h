#pragma once

#include <chrono>

namespace orvex::waits {

// The fixed waits of a preset run. Other applications get no signal when they are ready
// for the next step, so each step gives them a fixed moment; every wait goes through the
// run's Clock so that tests can check order and length on virtual time.
using namespace std::chrono_literals;

// The hot key's own modifiers must be up before a synthetic keystroke, or Command-C turns
// into Command-Shift-C; give the user this long to let go.
inline constexpr std::chrono::milliseconds kModifierRelease = 250ms;
// An application just brought forward needs a moment before it takes keystrokes.
inline constexpr std::chrono::milliseconds kAfterActivatingSource = 200ms;
// The copy or cut keystroke reaches the pasteboard asynchronously.
inline constexpr std::chrono::milliseconds kAfterCopy = 300ms;
// The previous application, re-activated by the tracker, settles in front.
inline constexpr std::chrono::milliseconds kAfterRestoringPrevious = 100ms;
// ... and then gets a little longer before the copy (the tracker's wait is short).
inline constexpr std::chrono::milliseconds kBeforeCopyFromPrevious = 300ms;

// A running application that was only activated raises its window.
inline constexpr std::chrono::milliseconds kAfterActivatingApp = 300ms;
// A launched application puts up its window.
inline constexpr std::chrono::milliseconds kAfterLaunch = 500ms;
// Command-N opens the new chat's view before anything is pasted into it.
inline constexpr std::chrono::milliseconds kAfterNewChat = 500ms;

// An existing browser tab brought forward is already loaded; it only needs to draw.
inline constexpr std::chrono::milliseconds kExistingTab = 500ms;
// A new tab loads its page; there is no load signal, so this is a fixed allowance.
inline constexpr std::chrono::seconds kPageLoad = 4s;
// How long the browser may take to come to the front before a web send gives up rather
// than search for the input in whatever window is in front instead, and the poll.
inline constexpr std::chrono::seconds kBrowserFront = 10s;
inline constexpr std::chrono::milliseconds kBrowserFrontPoll = 100ms;

// A terminal opened just now puts up its first window.
inline constexpr std::chrono::milliseconds kAfterTerminalLaunch = 500ms;

// The last-input browser, brought back, restores the focus of its text field.
inline constexpr std::chrono::milliseconds kAfterActivatingBrowser = 300ms;
// Between the looks at a browser's focused element before the input search is run.
inline constexpr std::chrono::milliseconds kFocusRecheck = 150ms;
// Between the looks at the frontmost application's focus when a capture guesses its
// destination.
inline constexpr std::chrono::milliseconds kCaptureFocusLook = 100ms;
// How often the tracker looks whether the user started typing in an activated application.
inline constexpr std::chrono::milliseconds kFocusPollInterval = 250ms;

// The main window hides before the screen selection starts.
inline constexpr std::chrono::milliseconds kBeforeCapture = 200ms;
// The destination takes in a pasted image (upload, preview) before more is pasted.
inline constexpr std::chrono::seconds kAfterImagePaste = 2s;
// The prompt written to the pasteboard after an image is pasted.
inline constexpr std::chrono::milliseconds kBeforePromptPaste = 200ms;

}  // namespace orvex::waits

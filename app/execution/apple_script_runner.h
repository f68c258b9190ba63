#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "app/execution/apple_script_error.h"
#include "base/clock.h"
#include "base/task_runner.h"
#include "desktop/keyboard.h"
#include "desktop/script_host.h"

namespace orvex {

// The outcome handed to the completion of the asynchronous run.
struct AppleScriptResult {
    std::string value;
    std::optional<AppleScriptError> error;
    bool ok() const { return !error.has_value(); }
};

// The one place where automation scripts run, with the helpers that keep the keyboard clean
// after synthetic keystrokes. Every method may be called from any thread; scripts of
// different callers may run at the same time (the host must allow that).
class AppleScriptRunner {
  public:
    using Completion = std::function<void(AppleScriptResult result)>;

    AppleScriptRunner(ScriptHost& host, Keyboard& keyboard, Clock& clock, TaskRunner& tasks);

    // Runs the script and waits for it: the preset run's task is the thread that waits, so
    // call it from a task, never from the main thread. The result's string value ("" when
    // it has none), or AppleScriptError::executionFailed. Releases stuck modifiers after
    // the run, whatever its outcome.
    std::string runAsync(const std::string& source);
    // The same run on a task of its own; `completion` is called on that task.
    void runAsync(const std::string& source, Completion completion);

    // The blocking worker behind runAsync: runs on the calling thread, logs and throws
    // failures, and leaves the modifier keys alone.
    std::string runAppleScript(const std::string& source);

    // Runs a script on the calling thread for its string value; none when it fails or has
    // no string value. Nothing is logged and the keyboard is left alone.
    std::optional<std::string> runSynchronously(const std::string& source);

    // Posts key-up events for every modifier the keyboard reports as held: Command (55, 54),
    // Option (58, 61), Control (59, 62), Shift (56, 60), in that order.
    void releaseStuckModifiers();
    // Waits, looking every 15 ms, until no modifier is held or the time-out has passed.
    void waitForModifierRelease(Clock::Duration timeout);

    // Whether Terminal runs with at least one window; any failure answers no.
    bool terminalHasWindow();
    // Whether Finder has at least one window; any failure answers no.
    bool finderHasWindow();
    // Brings the application of that name forward; failures are thrown.
    void activateByName(const std::string& name);
    // Brings forward a Chrome tab of the URL's host, or opens the URL. True when an existing
    // tab was brought forward, false when a new tab or window was opened. Throws
    // executionFailed("Chrome automation denied") when the browser refuses automation,
    // executionFailed("Chrome not installed") on any other failure.
    bool chromeOpenOrFocusTab(const std::string& url);
    // The URL of Chrome's front tab, run synchronously; none on any failure.
    std::optional<std::string> chromeFrontTabURL();

  private:
    ScriptHost& host_;
    Keyboard& keyboard_;
    Clock& clock_;
    TaskRunner& tasks_;
};

}  // namespace orvex

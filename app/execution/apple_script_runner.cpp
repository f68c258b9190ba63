#include "app/execution/apple_script_runner.h"

#include "app/execution/apple_script_results.h"
#include "app/execution/apple_scripts.h"
#include "app/execution/url_host.h"
#include "base/log.h"

namespace orvex {

namespace {

constexpr auto kModifierPollInterval = std::chrono::milliseconds(15);

}  // namespace

AppleScriptRunner::AppleScriptRunner(ScriptHost& host, Keyboard& keyboard, Clock& clock,
                                     TaskRunner& tasks)
    : host_(host), keyboard_(keyboard), clock_(clock), tasks_(tasks) {}

std::string AppleScriptRunner::runAppleScript(const std::string& source) {
    ScriptOutcome outcome = host_.run(source);
    if (outcome.failed) {
        std::string message = outcome.errorMessage.value_or("Unknown AppleScript error");
        log::system("[AppleScript] error: " + message);
        throw AppleScriptError::executionFailed(message);
    }
    return outcome.stringValue.value_or("");
}

std::string AppleScriptRunner::runAsync(const std::string& source) {
    std::string result;
    try {
        result = runAppleScript(source);
    } catch (...) {
        releaseStuckModifiers();
        throw;
    }
    releaseStuckModifiers();
    return result;
}

void AppleScriptRunner::runAsync(const std::string& source, Completion completion) {
    tasks_.spawn([this, source, completion = std::move(completion)] {
        AppleScriptResult result;
        try {
            result.value = runAsync(source);
        } catch (const AppleScriptError& error) {
            result.error = error;
        }
        if (completion) {
            completion(std::move(result));
        }
    });
}

std::optional<std::string> AppleScriptRunner::runSynchronously(const std::string& source) {
    ScriptOutcome outcome = host_.run(source);
    if (outcome.failed) {
        return std::nullopt;
    }
    return outcome.stringValue;
}

void AppleScriptRunner::releaseStuckModifiers() {
    KeyModifiers held = keyboard_.heldModifiers();
    if (held.command) {
        keyboard_.postKeyUp(keycode::kCommand);
        keyboard_.postKeyUp(keycode::kRightCommand);
    }
    if (held.option) {
        keyboard_.postKeyUp(keycode::kOption);
        keyboard_.postKeyUp(keycode::kRightOption);
    }
    if (held.control) {
        keyboard_.postKeyUp(keycode::kControl);
        keyboard_.postKeyUp(keycode::kRightControl);
    }
    if (held.shift) {
        keyboard_.postKeyUp(keycode::kShift);
        keyboard_.postKeyUp(keycode::kRightShift);
    }
}

void AppleScriptRunner::waitForModifierRelease(Clock::Duration timeout) {
    Clock::TimePoint deadline = clock_.now() + timeout;
    while (clock_.now() < deadline && keyboard_.heldModifiers().any()) {
        clock_.sleepFor(kModifierPollInterval);
    }
}

bool AppleScriptRunner::terminalHasWindow() {
    try {
        if (!scriptResultIsTrue(runAsync(terminalProcessCheckScript()))) {
            return false;
        }
        return scriptResultCountsWindow(runAsync(terminalWindowCountScript()));
    } catch (const AppleScriptError&) {
        return false;
    }
}

bool AppleScriptRunner::finderHasWindow() {
    try {
        return scriptResultCountsWindow(runAsync(finderWindowCountScript()));
    } catch (const AppleScriptError&) {
        return false;
    }
}

void AppleScriptRunner::activateByName(const std::string& name) {
    runAsync(activateByNameScript(name));
}

bool AppleScriptRunner::chromeOpenOrFocusTab(const std::string& url) {
    std::optional<std::string> host = urlHost(url);
    if (!host) {
        // Without a host there is nothing to search for; the callers pass fixed addresses,
        // so this is a programming error worth a clear message rather than a blind search.
        throw AppleScriptError::executionFailed("Invalid URL: " + url);
    }
    std::string result;
    try {
        result = runAsync(chromeOpenOrFocusTabScript(*host, url));
    } catch (const AppleScriptError& error) {
        if (isAutomationDenial(error.description())) {
            throw AppleScriptError::executionFailed("Chrome automation denied");
        }
        throw AppleScriptError::executionFailed("Chrome not installed");
    }
    return scriptResultIsTrue(result);
}

std::optional<std::string> AppleScriptRunner::chromeFrontTabURL() {
    return runSynchronously(frontTabQueryScript());
}

}  // namespace orvex

#include "app/execution/web_route.h"

#include "app/execution/ai_destination.h"
#include "app/execution/app_activation.h"
#include "app/execution/apple_script_runner.h"
#include "app/execution/apple_scripts.h"
#include "app/execution/execution_waits.h"
#include "app/execution/focused_element.h"
#include "app/execution/inputaim_invocation.h"
#include "app/execution/run_status.h"
#include "app/execution/send_errors.h"
#include "base/clock.h"

namespace orvex {
namespace {

// Brings the service's tab forward or opens it. A new tab gets a fixed time to load: the
// page's readiness is not observed, the input search afterwards decides.
void openOrFocusTab(const ExecutionContext& context, WebFlavor flavor) {
    bool existingTab = context.scripts.chromeOpenOrFocusTab(context.config.webApp(flavor).address);
    if (existingTab) {
        context.clock.sleepFor(waits::kExistingTab);
        return;
    }
    setStatusKey(context, "status.loadingPage", false);
    context.clock.sleepFor(waits::kPageLoad);
}

bool browserInFront(const ExecutionContext& context) {
    RunningApplicationRef front = context.desktop.runningApplications->frontmostApplication();
    std::optional<std::string> bundleId = front ? front->bundleIdentifier() : std::nullopt;
    return bundleId && context.config.isChrome(*bundleId);
}

// The tool only ever focuses a text area, a page's message input. A browser that finishes
// setting up a new window after that (a cold start) can move the focus to its address bar,
// a one-line field, where the paste and Return would run a search instead of reaching the
// chat. So the focus is looked at before the paste, and the input searched for again when it
// moved. When accessibility cannot say where the focus is, the tool's word is taken.
constexpr int kInputFocusAttempts = 2;
constexpr int kInputFocusLooks = 3;

bool focusStayedOnPageInput(const ExecutionContext& context) {
    RunningApplicationRef front = context.desktop.runningApplications->frontmostApplication();
    if (!front) {
        return true;
    }
    for (int look = 0; look < kInputFocusLooks; ++look) {
        if (look > 0) {
            context.clock.sleepFor(waits::kFocusRecheck);
        }
        std::optional<std::string> role =
            focusedElementRole(*context.desktop.accessibility, front->processIdentifier());
        if (!role || *role == "AXTextArea") {
            return true;
        }
    }
    return false;
}

// The tool works on the frontmost application, guided by the flavour's label for its
// input. That must be the browser: a browser whose window is slow to come forward would
// otherwise have the text pasted (and sent) into the application the selection came from.
void focusInputOrThrow(const ExecutionContext& context, WebFlavor flavor) {
    for (auto waited = std::chrono::milliseconds(0); !browserInFront(context);
         waited += waits::kBrowserFrontPoll) {
        if (waited >= waits::kBrowserFront) {
            throw SendError::inputFieldNotFound();
        }
        context.clock.sleepFor(waits::kBrowserFrontPoll);
    }
    for (int attempt = 0; attempt < kInputFocusAttempts; ++attempt) {
        if (!inputaimFocus(context.desktop, std::nullopt, inputHint(flavor))) {
            throw SendError::inputFieldNotFound();
        }
        if (focusStayedOnPageInput(context)) {
            return;
        }
    }
    throw SendError::inputFieldNotFound();
}

}  // namespace

void sendToWeb(const ExecutionContext& context, const std::string& text, WebFlavor flavor,
               bool autoSend) {
    setStatusKey(context, "status.openingBrowser", false);
    openOrFocusTab(context, flavor);
    setStatusKey(context, "status.sending", false);
    putTextOnPasteboard(context.desktop, text);
    focusInputOrThrow(context, flavor);
    context.scripts.runAsync(pasteScript(autoSend));
}

void prepareWebForCapture(const ExecutionContext& context, WebFlavor flavor) {
    openOrFocusTab(context, flavor);
    focusInputOrThrow(context, flavor);
}

}  // namespace orvex

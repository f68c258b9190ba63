#include "app/execution/last_input_route.h"

#include "app/execution/ai_destination.h"
#include "app/execution/app_activation.h"
#include "app/execution/apple_script_runner.h"
#include "app/execution/apple_scripts.h"
#include "app/execution/execution_waits.h"
#include "app/execution/focused_element.h"
#include "app/execution/inputaim_invocation.h"
#include "app/execution/previous_app_tracker.h"
#include "app/execution/run_status.h"
#include "app/execution/send_errors.h"
#include "base/clock.h"

namespace orvex {
namespace {

constexpr int kFocusLooks = 3;

bool isLive(const RunningApplicationRef& app) {
    return app && !app->isTerminated();
}

// Brings the target back, waits for its field to regain the focus, and checks it; the
// GenericSendError lets the pipeline try its fallback destination.
void bringBackAndCheck(const ExecutionContext& context, const RunningApplicationRef& target) {
    bringAppForward(context.desktop, target);
    context.clock.sleepFor(waits::kAfterActivatingBrowser);
    if (!focusCheck(context, target)) {
        throw GenericSendError::inputFieldNotFound();
    }
}

void rememberTarget(const ExecutionContext& context, const RunningApplicationRef& target) {
    context.tracker.recordSendTarget(destination_ids::lastInputField);
    context.tracker.setLastFocusedBrowser(target);
}

}  // namespace

bool focusCheck(const ExecutionContext& context, const RunningApplicationRef& app) {
    std::optional<std::string> bundleId = app ? app->bundleIdentifier() : std::nullopt;
    if (!bundleId || !context.tracker.isBrowser(bundleId)) {
        return true;
    }
    for (int look = 0; look < kFocusLooks; ++look) {
        if (look > 0) {
            context.clock.sleepFor(waits::kFocusRecheck);
        }
        if (focusedElementIsNotTextInput(*context.desktop.accessibility,
                                         app->processIdentifier()) != FocusAnswer::yes) {
            return true;
        }
    }
    return inputaimFocus(context.desktop, bundleId, std::nullopt);
}

void sendToLastInput(const ExecutionContext& context, const std::string& text, bool autoSend,
                     const RunningApplicationRef& target) {
    if (!isLive(target)) {
        setStatusKey(context, "status.noBrowser", true);
        postShowMainWindow(context);
        return;
    }
    setStatusKey(context, "status.sending", false);
    putTextOnPasteboard(context.desktop, text);
    bringBackAndCheck(context, target);
    context.scripts.runAsync(pasteScript(autoSend));
    rememberTarget(context, target);
}

void prepareLastInputForCapture(const ExecutionContext& context,
                                const RunningApplicationRef& target) {
    if (!isLive(target)) {
        throw GenericSendError::inputFieldNotFound();
    }
    bringBackAndCheck(context, target);
    rememberTarget(context, target);
}

}  // namespace orvex

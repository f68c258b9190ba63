#include "app/execution/app_route.h"

#include "app/execution/app_activation.h"
#include "app/execution/apple_script_runner.h"
#include "app/execution/apple_scripts.h"
#include "app/execution/execution_waits.h"
#include "app/execution/inputaim_invocation.h"
#include "app/execution/run_status.h"
#include "app/execution/send_errors.h"
#include "base/clock.h"

namespace orvex {
namespace {

void focusInputOrThrow(const ExecutionContext& context, const std::string& bundleId) {
    if (!inputaimFocus(context.desktop, bundleId, std::nullopt)) {
        throw SendError::inputFieldNotFound();
    }
}

}  // namespace

const char* toString(AppReadiness readiness) {
    switch (readiness) {
        case AppReadiness::notRunning:
            return "not_running";
        case AppReadiness::noWindows:
            return "no_windows";
        case AppReadiness::ready:
            break;
    }
    return "ready";
}

AppReadiness appReadiness(const ExecutionContext& context, const std::string& bundleId) {
    std::vector<RunningApplicationRef> running =
        context.desktop.runningApplications->runningApplications(bundleId);
    if (running.empty() || !running.front() || running.front()->isTerminated()) {
        return AppReadiness::notRunning;
    }
    AXElementRef application =
        context.desktop.accessibility->applicationElement(running.front()->processIdentifier());
    if (application) {
        AXResult windows = application->copyAttribute("AXWindows");
        if (windows.ok() && windows.elements() && windows.elements()->empty()) {
            return AppReadiness::noWindows;
        }
    }
    // A window list that cannot be read is no reason to start the application again.
    return AppReadiness::ready;
}

void launchApp(const ExecutionContext& context, const std::string& bundleId) {
    std::optional<std::string> location = context.desktop.workspace->urlForApplication(bundleId);
    if (!location) {
        throw AppNotFoundError(bundleId);
    }
    openApplicationAndWait(context.desktop, *location);
}

void openApp(const ExecutionContext& context, const std::string& bundleId) {
    if (appReadiness(context, bundleId) == AppReadiness::ready) {
        activateRunning(context.desktop, bundleId);
        context.clock.sleepFor(waits::kAfterActivatingApp);
        return;
    }
    launchApp(context, bundleId);
    context.clock.sleepFor(waits::kAfterLaunch);
    activateRunning(context.desktop, bundleId);
    context.clock.sleepFor(waits::kAfterActivatingApp);
    context.scripts.runAsync(newChatKeystrokeScript());
    context.clock.sleepFor(waits::kAfterNewChat);
}

void sendToApp(const ExecutionContext& context, const std::string& text,
               const std::string& bundleId, bool autoSend) {
    setStatusKey(context, "status.sending", false);
    putTextOnPasteboard(context.desktop, text);
    openApp(context, bundleId);
    focusInputOrThrow(context, bundleId);
    context.scripts.runAsync(pasteScript(autoSend));
}

void prepareAppForCapture(const ExecutionContext& context, const std::string& bundleId) {
    openApp(context, bundleId);
    focusInputOrThrow(context, bundleId);
}

}  // namespace orvex

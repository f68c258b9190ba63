#include "app/execution/send_pipeline.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "app/execution/ai_destination.h"
#include "app/execution/app_activation.h"
#include "app/execution/app_route.h"
#include "app/execution/apple_script_runner.h"
#include "app/execution/apple_scripts.h"
#include "app/execution/capture_file.h"
#include "app/execution/destination_selection.h"
#include "app/execution/execution_waits.h"
#include "app/execution/last_input_route.h"
#include "app/execution/main_thread_read.h"
#include "app/execution/previous_app_tracker.h"
#include "app/execution/run_status.h"
#include "app/execution/send_errors.h"
#include "app/execution/terminal_route.h"
#include "app/execution/web_route.h"
#include "app/notifications/notification_center.h"
#include "app/store/app_state.h"
#include "base/unicode/unicode_text.h"

namespace orvex {

namespace {

bool contains(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

bool isLive(const RunningApplicationRef& app) {
    return app && !app->isTerminated();
}

// Keeps the tracker from learning from the activations a send makes itself, from the
// first step of a run to its last, whichever way the run ends.
class SendingGuard {
  public:
    explicit SendingGuard(PreviousAppTracker& tracker) : tracker_(tracker) {
        tracker_.setIsSending(true);
    }
    ~SendingGuard() { tracker_.setIsSending(false); }
    SendingGuard(const SendingGuard&) = delete;
    SendingGuard& operator=(const SendingGuard&) = delete;

  private:
    PreviousAppTracker& tracker_;
};

std::optional<std::vector<std::uint8_t>> readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>());
}

}  // namespace

void SendPipeline::reportProblem(const char* key) {
    setStatusKey(context_, key, true);
    postShowMainWindow(context_);
}

void SendPipeline::bringForward(const RunningApplicationRef& app) {
    bringAppForward(context_.desktop, app);
}

void SendPipeline::sendAI(const PresetData& preset) {
    std::vector<std::string> destinations =
        resolveDestinations(context_, preset, preset.useCapture);
    SendingGuard sending(context_.tracker);

    // The browser for the last input field, chosen while the user's application is still
    // known: in text mode the one the text comes from is not the target.
    RunningApplicationRef exclude;
    RunningApplicationRef front = context_.desktop.runningApplications->frontmostApplication();
    if (!preset.useCapture) {
        exclude = context_.tracker.isOwnAppFrontmost() ? context_.tracker.previousApp() : front;
    } else if (front && context_.tracker.isBrowser(front->bundleIdentifier())) {
        exclude = front;
    }
    RunningApplicationRef target = context_.tracker.targetBrowser(exclude);

    if (contains(destinations, destination_ids::lastInputField) && !isLive(target)) {
        reportProblem("status.noBrowser");
        return;
    }

    if (preset.useCapture) {
        std::optional<std::string> fallback =
            bestDestinationExcluding(context_, preset, destination_ids::lastInputField);
        for (const std::string& destination : destinations) {
            sendCapture(destination, preset.fixedPrompt, preset.autoSend, target, fallback);
        }
        return;
    }

    if (!checkAccessibility()) {
        return;
    }
    TextOutcome outcome = getSelectedText(preset.cutText);
    switch (outcome.kind) {
        case TextOutcome::Kind::noTargetApp:
            reportProblem("status.noTargetApp");
            return;
        case TextOutcome::Kind::targetAppNotRunning:
            reportProblem("status.targetAppNotRunning");
            return;
        case TextOutcome::Kind::noSelection:
            reportProblem("status.noSelection");
            return;
        case TextOutcome::Kind::text:
            break;
    }

    std::string composed =
        preset.fixedPrompt.empty() ? outcome.text : preset.fixedPrompt + "\n" + outcome.text;
    std::optional<std::string> fallback =
        bestDestinationExcluding(context_, preset, destination_ids::lastInputField);
    for (const std::string& destination : destinations) {
        try {
            sendText(composed, destination, preset.autoSend, target);
        } catch (const GenericSendError&) {
            if (!fallback) {
                reportProblem("status.browserInputNotFound");
                return;
            }
            // An error of the fallback ends the run; its success lets the rest go on.
            sendText(composed, *fallback, preset.autoSend, target);
        } catch (const SendError&) {
            reportProblem("status.focusFailed");
            return;
        }
    }
    setStatusKey(context_, "status.sent", false);
}

bool SendPipeline::checkAccessibility() {
    Accessibility& accessibility = *context_.desktop.accessibility;
    if (accessibility.isProcessTrusted(false)) {
        return true;
    }
    // The permission prompt must not open behind the main window: hide it first. Both go
    // through the main queue in this order.
    context_.notifications.post(notifications::hideMainWindow);
    context_.mainQueue.post([&accessibility] { accessibility.isProcessTrusted(true); });
    return false;
}

TextOutcome SendPipeline::getSelectedText(bool cut) {
    context_.scripts.waitForModifierRelease(waits::kModifierRelease);

    RunningApplicationRef front = context_.desktop.runningApplications->frontmostApplication();
    const std::optional<std::string>& own = context_.tracker.myBundleId();
    bool frontIsOwn = front && own && front->bundleIdentifier() == own;

    std::string text;
    if (front && !frontIsOwn) {
        context_.tracker.setPreviousApp(front);
        if (front->isTerminated()) {
            return TextOutcome::failed(TextOutcome::Kind::noTargetApp);
        }
        text = copySelection(front, cut);
    } else {
        RunningApplicationRef previous = context_.tracker.previousApp();
        if (!previous) {
            return TextOutcome::failed(TextOutcome::Kind::noTargetApp);
        }
        if (previous->isTerminated()) {
            return TextOutcome::failed(TextOutcome::Kind::targetAppNotRunning);
        }
        context_.tracker.restorePreviousApp();
        context_.clock.sleepFor(waits::kBeforeCopyFromPrevious);
        if (previous->isTerminated()) {
            return TextOutcome::failed(TextOutcome::Kind::noTargetApp);
        }
        text = copySelection(previous, cut);
    }
    if (isUnicodeBlank(text)) {
        return TextOutcome::failed(TextOutcome::Kind::noSelection);
    }
    return TextOutcome::of(std::move(text));
}

std::string SendPipeline::copySelection(const RunningApplicationRef& app, bool cut) {
    bringForward(app);
    context_.clock.sleepFor(waits::kAfterActivatingSource);

    Pasteboard& pasteboard = *context_.desktop.pasteboard;
    pasteboard.clearContents();
    context_.scripts.runAsync(cut ? cutKeystrokeScript() : copyKeystrokeScript());
    context_.clock.sleepFor(waits::kAfterCopy);
    std::string text = pasteboard.readString().value_or("");

    if (cut && isUnicodeBlank(text)) {
        // Some applications ignore the cut keystroke (read-only text); a copy still works.
        context_.scripts.runAsync(copyKeystrokeScript());
        context_.clock.sleepFor(waits::kAfterCopy);
        text = pasteboard.readString().value_or("");
    }
    return text;
}

void SendPipeline::sendText(const std::string& text, const std::string& destination, bool autoSend,
                            const RunningApplicationRef& targetApp) {
    DestinationRoute route = routeFor(context_, destination);
    switch (route.kind) {
        case DestinationRoute::Kind::app:
            sendToApp(context_, text, route.bundleId, autoSend);
            return;
        case DestinationRoute::Kind::web:
            sendToWeb(context_, text, route.flavor, autoSend);
            return;
        case DestinationRoute::Kind::terminal:
            sendToTerminal(context_, text, autoSend);
            return;
        case DestinationRoute::Kind::lastInput:
            sendToLastInput(context_, text, autoSend, targetApp);
            return;
    }
}

bool SendPipeline::runScreenCapture(bool toClipboard, const std::optional<std::string>& filePath) {
    CaptureRequest request;
    request.toClipboard = toClipboard;
    if (!toClipboard) {
        request.filePath = filePath;
    }
    std::optional<int> status = context_.desktop.screenCapture->runInteractiveCapture(request);
    return status && *status == 0;
}

void SendPipeline::sendCapture(const std::string& destination, const std::string& fixedPrompt,
                               bool autoSend, const RunningApplicationRef& targetApp,
                               const std::optional<std::string>& fallback) {
    AIDestination d = destinationOrDefault(destination);
    ScreenCapture& screen = *context_.desktop.screenCapture;
    if (!screen.mayRecordScreen()) {
        screen.requestScreenRecording();
        return;
    }
    bool pinned = readOnMainThread(context_.mainQueue,
                                   [&state = context_.appState] { return state.alwaysOnTop(); });
    if (!pinned) {
        context_.notifications.post(notifications::hideMainWindow);
    }
    setStatusKey(context_, "status.selectCaptureArea", false);
    context_.clock.sleepFor(waits::kBeforeCapture);

    std::string directoryError;
    std::optional<std::string> directory = context_.captureDirectories.privateDirectory(
        sessionRuntimeDirectory(), context_.desktop.workspace->temporaryDirectory(),
        &directoryError);
    if (!directory) {
        throw ActionError("no private directory for the capture file: " + directoryError);
    }
    std::string path = captureFilePath(*directory, context_.clock.wallNow());
    bool captured = runScreenCapture(false, path);

    if (d == AIDestination::terminal) {
        if (!captured) {
            throw CaptureError::cancelled();
        }
        // The file stays: the Terminal receives its path, not the image.
        std::string text = fixedPrompt.empty() ? path : path + "\n" + fixedPrompt;
        sendToTerminal(context_, text, autoSend);
        setStatusKey(context_, "status.sent", false);
        return;
    }

    std::error_code ignored;
    if (!std::filesystem::exists(path, ignored)) {
        throw CaptureError::cancelled();
    }
    std::optional<std::vector<std::uint8_t>> image = readFileBytes(path);
    Pasteboard& pasteboard = *context_.desktop.pasteboard;
    if (!image || !pasteboard.canReadImage(*image)) {
        std::filesystem::remove(path, ignored);
        throw CaptureError::cancelled();
    }
    pasteboard.clearContents();
    pasteboard.writeImagePNG(*image);
    std::filesystem::remove(path, ignored);
    setStatusKey(context_, "status.sending", false);

    try {
        prepareCaptureDestination(targetApp, identifier(d));
    } catch (const GenericSendError&) {
        std::optional<AIDestination> usable =
            fallback ? destinationFromIdentifier(*fallback) : std::nullopt;
        if (!usable) {
            reportProblem("status.browserInputNotFound");
            return;
        }
        try {
            prepareCaptureDestination(targetApp, identifier(*usable));
        } catch (const SendError&) {
            reportProblem("status.focusFailed");
            return;
        }
    } catch (const SendError&) {
        reportProblem("status.focusFailed");
        return;
    }
    pasteCapture(fixedPrompt, autoSend);
    setStatusKey(context_, "status.sent", false);
}

void SendPipeline::pasteCapture(const std::string& fixedPrompt, bool autoSend) {
    context_.scripts.runAsync(pasteKeystrokeScript());
    context_.clock.sleepFor(waits::kAfterImagePaste);
    if (!fixedPrompt.empty()) {
        // Cleared first: the image must not be pasted a second time with the prompt.
        putTextOnPasteboard(context_.desktop, fixedPrompt);
        context_.clock.sleepFor(waits::kBeforePromptPaste);
        context_.scripts.runAsync(pasteScript(autoSend));
    } else if (autoSend) {
        context_.scripts.runAsync(sendKeystrokeScript());
    }
}

void SendPipeline::prepareCaptureDestination(const RunningApplicationRef& targetApp,
                                             const std::string& destination) {
    AIDestination d = destinationOrDefault(destination);
    if (d == AIDestination::terminal) {
        return;
    }
    if (d == AIDestination::lastInputField) {
        prepareLastInputForCapture(context_, targetApp);
        return;
    }
    DestinationRoute route = routeFor(context_, identifier(d));
    switch (route.kind) {
        case DestinationRoute::Kind::app:
            prepareAppForCapture(context_, route.bundleId);
            return;
        case DestinationRoute::Kind::web:
            prepareWebForCapture(context_, route.flavor);
            return;
        case DestinationRoute::Kind::terminal:
        case DestinationRoute::Kind::lastInput:
            return;
    }
}

}  // namespace orvex

#include "app/execution/destination_selection.h"

#include <algorithm>

#include "app/execution/apple_script_runner.h"
#include "app/execution/execution_waits.h"
#include "app/execution/focused_element.h"
#include "app/execution/previous_app_tracker.h"
#include "base/clock.h"

namespace orvex {
namespace {

constexpr int kCaptureFocusLooks = 3;

bool contains(const std::vector<std::string>& list, const std::string& key) {
    return std::find(list.begin(), list.end(), key) != list.end();
}

// The first identifier of the send history that the list contains, else the list's first.
std::string mostRecentlyUsed(const ExecutionContext& context,
                             const std::vector<std::string>& list) {
    for (const std::string& recent : context.tracker.sendTargetHistory()) {
        if (contains(list, recent)) {
            return recent;
        }
    }
    return list.front();
}

// Whether the user's focus in the application is a text input: a definite answer within
// three looks. An undetermined answer does not count, since a capture guess must not send
// somewhere the user was not typing.
bool hasUsableFocus(const ExecutionContext& context, const RunningApplicationRef& app) {
    for (int look = 0; look < kCaptureFocusLooks; ++look) {
        if (look > 0) {
            context.clock.sleepFor(waits::kCaptureFocusLook);
        }
        if (focusedElementIsNotTextInput(*context.desktop.accessibility,
                                         app->processIdentifier()) == FocusAnswer::no) {
            return true;
        }
    }
    return false;
}

bool installed(const ExecutionContext& context, AIDestination destination) {
    std::optional<std::string> bundleId = bundleIdentifier(destination);
    return bundleId && context.desktop.workspace->urlForApplication(*bundleId).has_value();
}

}  // namespace

std::vector<std::string> resolveDestinations(const ExecutionContext& context,
                                             const PresetData& preset, bool useCapture) {
    std::vector<std::string> list = normalizedDestinations(preset);
    if (list.empty()) {
        return {destination_ids::chatgptApp};
    }
    if (list.size() == 1) {
        return list;
    }
    if (preset.multiDestMode == "all") {
        std::vector<std::string> withoutLastInput = list;
        std::erase(withoutLastInput, std::string(destination_ids::lastInputField));
        return withoutLastInput.empty() ? list : withoutLastInput;
    }
    if (useCapture) {
        if (std::optional<std::string> guess = guessCaptureDestination(context, list)) {
            return {*guess};
        }
    }
    return {mostRecentlyUsed(context, list)};
}

std::optional<std::string> bestDestinationExcluding(const ExecutionContext& context,
                                                    const PresetData& preset,
                                                    const std::string& excluded) {
    std::vector<std::string> list = normalizedDestinations(preset);
    std::erase(list, excluded);
    if (list.empty()) {
        return std::nullopt;
    }
    return mostRecentlyUsed(context, list);
}

std::optional<std::string> guessCaptureDestination(const ExecutionContext& context,
                                                   const std::vector<std::string>& list) {
    PreviousAppTracker& tracker = context.tracker;
    if (tracker.isOwnAppFrontmost()) {
        return std::nullopt;
    }
    RunningApplicationRef front = context.desktop.runningApplications->frontmostApplication();
    std::optional<std::string> bundleId = front ? front->bundleIdentifier() : std::nullopt;
    if (!bundleId) {
        return std::nullopt;
    }

    if (std::optional<AIDestination> native = destinationForBundleId(*bundleId);
        native && contains(list, identifier(*native))) {
        if (!hasUsableFocus(context, front)) {
            return std::nullopt;
        }
        std::string key = identifier(*native);
        tracker.recordSendTarget(key);
        tracker.removeWebFlavorKey(key);
        return key;
    }

    if (!tracker.isBrowser(bundleId)) {
        return std::nullopt;
    }
    if (context.config.isChrome(*bundleId)) {
        std::optional<std::string> url = context.scripts.chromeFrontTabURL();
        std::optional<AIDestination> page =
            url ? destinationForURL(*url, context.config) : std::nullopt;
        if (page) {
            std::string key = identifier(appKey(*page));
            if (contains(list, key) && hasUsableFocus(context, front)) {
                tracker.recordSendTarget(key);
                tracker.insertWebFlavorKey(key);
                return key;
            }
        }
    }
    if (contains(list, destination_ids::lastInputField) && hasUsableFocus(context, front)) {
        tracker.recordSendTarget(destination_ids::lastInputField);
        tracker.setLastFocusedBrowser(front);
        return std::string(destination_ids::lastInputField);
    }
    return std::nullopt;
}

std::optional<AIDestination> availableAppDestination(const ExecutionContext& context,
                                                     AIDestination destination) {
    switch (destination) {
        case AIDestination::chatgptApp:
            if (installed(context, AIDestination::chatgptApp)) {
                return AIDestination::chatgptApp;
            }
            if (installed(context, AIDestination::chatgptClassic)) {
                return AIDestination::chatgptClassic;
            }
            return std::nullopt;
        case AIDestination::chatgptClassic:
        case AIDestination::geminiApp:
        case AIDestination::claudeApp:
            return installed(context, destination) ? std::optional(destination) : std::nullopt;
        default:
            return std::nullopt;
    }
}

DestinationRoute routeFor(const ExecutionContext& context, const std::string& destination) {
    AIDestination d = destinationOrDefault(destination);
    switch (d) {
        case AIDestination::terminal:
            return DestinationRoute::terminal();
        case AIDestination::lastInputField:
            return DestinationRoute::lastInput();
        default:
            break;
    }
    // The web cases never come here from a preset (normalization maps them to their app
    // cases); should one arrive anyway, it goes to its own page.
    WebFlavor flavor = *webFlavor(d);
    if (!bundleIdentifier(d).has_value() || context.tracker.hasWebFlavorKey(identifier(d))) {
        return DestinationRoute::web(flavor);
    }
    if (std::optional<AIDestination> available = availableAppDestination(context, d)) {
        return DestinationRoute::app(*bundleIdentifier(*available));
    }
    return DestinationRoute::web(flavor);
}

}  // namespace orvex

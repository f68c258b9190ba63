#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/execution/ai_destination.h"
#include "app/execution/execution_context.h"
#include "app/store/preset_model.h"

namespace orvex {

// How a destination is reached.
struct DestinationRoute {
    enum class Kind { app, web, terminal, lastInput };

    Kind kind = Kind::app;
    // The native application to deliver to (app route).
    std::string bundleId;
    // The page to deliver to (web route).
    WebFlavor flavor = WebFlavor::chatgpt;

    static DestinationRoute app(std::string bundleId) {
        return {Kind::app, std::move(bundleId), WebFlavor::chatgpt};
    }
    static DestinationRoute web(WebFlavor flavor) { return {Kind::web, {}, flavor}; }
    static DestinationRoute terminal() { return {Kind::terminal, {}, WebFlavor::chatgpt}; }
    static DestinationRoute lastInput() { return {Kind::lastInput, {}, WebFlavor::chatgpt}; }

    bool operator==(const DestinationRoute&) const = default;
};

// The destinations a run goes to, in send order; never empty. With several destinations,
// mode "all" sends to each (the last input field only when it is the sole one); any other
// mode picks one: the capture guess, else the most recently used, else the first.
std::vector<std::string> resolveDestinations(const ExecutionContext& context,
                                             const PresetData& preset, bool useCapture);

// The preset's destination to fall back on, other than `excluded`: the most recently used,
// else the first; none when the preset has no other.
std::optional<std::string> bestDestinationExcluding(const ExecutionContext& context,
                                                    const PresetData& preset,
                                                    const std::string& excluded);

// In capture mode, the destination the user is looking at: the frontmost native AI app, the
// AI page in Chrome's front tab, or the last input field of a browser, each only when it is
// in `list` and the user's focus there is a text input. Records what it finds. Blocks for
// up to 0.2 s while it looks at the focus.
std::optional<std::string> guessCaptureDestination(const ExecutionContext& context,
                                                   const std::vector<std::string>& list);

// The installed native app for an app destination: "chatgpt-app" falls back to the classic
// edition. None when nothing is installed or the destination has no app.
std::optional<AIDestination> availableAppDestination(const ExecutionContext& context,
                                                     AIDestination destination);

// The route of one destination identifier (outside the table it reads as "chatgpt-app").
DestinationRoute routeFor(const ExecutionContext& context, const std::string& destination);

}  // namespace orvex

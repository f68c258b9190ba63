#include "app/execution/terminal_route.h"

#include "app/execution/app_activation.h"
#include "app/execution/apple_script_runner.h"
#include "app/execution/apple_scripts.h"
#include "app/execution/execution_waits.h"
#include "app/execution/run_status.h"
#include "app/execution/send_errors.h"
#include "base/clock.h"

namespace orvex {
namespace {

constexpr const char* kTerminalName = "Terminal";

}  // namespace

void sendToTerminal(const ExecutionContext& context, const std::string& text, bool autoSend) {
    setStatusKey(context, "status.sending", false);
    if (!context.scripts.terminalHasWindow()) {
        // Opening Terminal again makes it put up a window.
        launchAppByName(context, kTerminalName);
        context.clock.sleepFor(waits::kAfterTerminalLaunch);
    }
    putTextOnPasteboard(context.desktop, text);
    context.scripts.runAsync(terminalPasteScript(autoSend));
}

void launchAppByName(const ExecutionContext& context, const std::string& name) {
    std::optional<std::string> path =
        context.desktop.workspace->applicationPathForName(name, /*includeUtilities=*/true);
    if (!path) {
        throw AppNotFoundError(name);
    }
    openApplicationAndWait(context.desktop, *path);
}

}  // namespace orvex

#include "app/execution/app_activation.h"

#include <future>
#include <memory>

#include "app/execution/send_errors.h"

namespace orvex {

bool activateRunning(Desktop& desktop, const std::string& bundleId) {
    std::vector<RunningApplicationRef> running =
        desktop.runningApplications->runningApplications(bundleId);
    if (running.empty() || !running.front()) {
        return false;
    }
    return running.front()->activate(true);
}

void bringAppForward(Desktop& desktop, const RunningApplicationRef& app) {
    if (!app) {
        return;
    }
    if (std::optional<std::string> bundleId = app->bundleIdentifier()) {
        activateRunning(desktop, *bundleId);
    } else {
        app->activate(true);
    }
}

void openApplicationAndWait(Desktop& desktop, const std::string& path) {
    // The completion may come on any thread, or before openApplication returns.
    auto answer = std::make_shared<std::promise<std::optional<std::string>>>();
    std::future<std::optional<std::string>> launched = answer->get_future();
    OpenConfiguration configuration;
    configuration.activates = true;
    desktop.workspace->openApplication(
        path, configuration, [answer](RunningApplicationRef, std::optional<std::string> error) {
            answer->set_value(std::move(error));
        });
    if (std::optional<std::string> error = launched.get()) {
        throw LaunchError(*error);
    }
}

void putTextOnPasteboard(Desktop& desktop, const std::string& text) {
    desktop.pasteboard->clearContents();
    desktop.pasteboard->writeString(text);
}

}  // namespace orvex

#include "app/execution/preset_executor.h"

#include <exception>

#include "app/execution/app_actions.h"
#include "app/execution/apple_script_error.h"
#include "app/execution/error_classification.h"
#include "app/execution/main_thread_read.h"
#include "app/execution/previous_app_tracker.h"
#include "app/execution/run_status.h"
#include "app/execution/send_errors.h"
#include "app/execution/send_pipeline.h"
#include "app/i18n/localization_manager.h"
#include "app/store/app_state.h"

namespace orvex {

namespace {

// The description the classification looks at, for any error an action may throw.
std::string describe(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const ActionError& e) {
        return e.description();
    } catch (const AppleScriptError& e) {
        return e.description();
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "Unknown error";
    }
}

}  // namespace

PresetExecutor::PresetExecutor(const ExecutionContext& context, TaskRunner& tasks)
    : context_(context), tasks_(tasks) {}

void PresetExecutor::start(PresetData preset,
                           std::function<void(std::optional<std::string> error)> done) {
    tasks_.spawn([this, preset = std::move(preset), done = std::move(done)]() mutable {
        std::optional<std::string> error = execute(std::move(preset));
        if (done) {
            done(std::move(error));
        }
    });
}

std::optional<std::string> PresetExecutor::lastError() const {
    std::lock_guard lock(mutex_);
    return lastError_;
}

std::optional<std::string> PresetExecutor::execute(PresetData preset) {
    {
        std::lock_guard lock(mutex_);
        lastError_.reset();
    }
    RunOutcome outcome;
    ExecutionContext run = context_;
    run.outcome = &outcome;
    perform(run, preset);
    return outcome.endingError();
}

void PresetExecutor::perform(const ExecutionContext& run, const PresetData& preset) {
    AppActions actions(run);
    ActionType action = actionType(preset);
    try {
        switch (action) {
            case ActionType::createFile:
                actions.createNewFile(preset);
                break;
            case ActionType::activateApp:
                actions.bringAppToFront(preset);
                break;
            case ActionType::openFile:
                actions.openPresetFile(preset);
                break;
            case ActionType::aiSend:
                SendPipeline(run).sendAI(preset);
                break;
        }
        return;
    } catch (const CaptureError&) {
        if (action != ActionType::activateApp) {
            try {
                captureCancelled(run);
            } catch (...) {
                // Only the way back to the previous application failed (the process is
                // shutting down); the cancellation itself is already reported.
            }
            return;
        }
    } catch (...) {
        if (action != ActionType::activateApp) {
            FailureStatus status = classifyFailureDescription(describe(std::current_exception()));
            fail(run, run.i18n.text(status.key, status.params));
            return;
        }
    }
    // Whatever went wrong while bringing an application forward, the user learns only that
    // it could not be launched.
    fail(run, run.i18n.text("status.cannotLaunch", {{"appName", preset.appName}}));
}

void PresetExecutor::fail(const ExecutionContext& run, const std::string& message) {
    postRunStatus(run, message, true);
    {
        std::lock_guard lock(mutex_);
        lastError_ = message;
    }
    postShowMainWindow(run);
}

void PresetExecutor::captureCancelled(const ExecutionContext& run) {
    setStatusKey(run, "status.captureCancelled", false);
    bool pinned =
        readOnMainThread(run.mainQueue, [&state = run.appState] { return state.alwaysOnTop(); });
    if (!pinned) {
        run.tracker.restorePreviousApp();
    }
}

}  // namespace orvex

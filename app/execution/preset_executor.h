#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "app/execution/execution_context.h"
#include "app/store/preset_model.h"
#include "base/task_runner.h"

namespace orvex {

// The one object that runs presets. Whatever way a run starts (hot key, button, command),
// it ends here: the executor picks the preset's action, carries it out on the calling task
// and turns a failure into one localized status message with the error flag, then brings
// the main window forward so the user sees it.
class PresetExecutor {
  public:
    PresetExecutor(const ExecutionContext& context, TaskRunner& tasks);

    // Runs the preset on the calling thread, which must be a task, not the main thread: the
    // action blocks for its fixed waits and for other applications. Never throws. Returns
    // the status text when the run ended by showing an error (a failure the action threw,
    // or one it reported itself, such as nothing selected); none when it delivered or the
    // user cancelled a capture.
    std::optional<std::string> execute(PresetData preset);
    // Starts execute() on a new task; `done` (optional) gets its answer on that task.
    void start(PresetData preset, std::function<void(std::optional<std::string> error)> done = {});

    // The status text of the most recent run's thrown failure; none after a run that
    // succeeded, reported a problem the user can fix, or was cancelled.
    std::optional<std::string> lastError() const;

  private:
    // Carries out the preset's action with the run's own context.
    void perform(const ExecutionContext& run, const PresetData& preset);
    // Reports a failure: status line with the error flag, lastError, main window.
    void fail(const ExecutionContext& run, const std::string& message);
    // A cancelled capture: a plain status message and the user back where they were.
    void captureCancelled(const ExecutionContext& run);

    const ExecutionContext& context_;
    TaskRunner& tasks_;
    mutable std::mutex mutex_;
    std::optional<std::string> lastError_;
};

}  // namespace orvex

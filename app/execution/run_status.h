#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "app/execution/execution_context.h"
#include "app/i18n/locale_table.h"

namespace orvex {

// The last status line one run posted. A run that ends on an error the user was shown
// (nothing selected, no input found, ...) failed for its caller too, whether or not an
// exception carried it out of the action.
class RunOutcome {
  public:
    void record(const std::string& message, bool isError);
    // The status text when the run's last status was an error; none otherwise.
    std::optional<std::string> endingError() const;

  private:
    mutable std::mutex mutex_;
    std::string lastMessage_;
    bool lastIsError_ = false;
};

// Shows `message` in the status line (from any thread) and records it for the run.
void postRunStatus(const ExecutionContext& context, const std::string& message, bool isError);

// Shows the localized text of `key` in the status line (from any thread).
void setStatusKey(const ExecutionContext& context, std::string_view key, bool isError,
                  const TextParams& params = {});

// Asks the application shell to bring the main window forward, so that the user sees an
// error in the status line.
void postShowMainWindow(const ExecutionContext& context);

}  // namespace orvex

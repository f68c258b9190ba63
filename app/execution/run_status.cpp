#include "app/execution/run_status.h"

#include "app/i18n/localization_manager.h"
#include "app/notifications/notification_center.h"
#include "app/store/app_state.h"

namespace orvex {

void RunOutcome::record(const std::string& message, bool isError) {
    std::lock_guard lock(mutex_);
    lastMessage_ = message;
    lastIsError_ = isError;
}

std::optional<std::string> RunOutcome::endingError() const {
    std::lock_guard lock(mutex_);
    if (!lastIsError_) {
        return std::nullopt;
    }
    return lastMessage_;
}

void postRunStatus(const ExecutionContext& context, const std::string& message, bool isError) {
    if (context.outcome) {
        context.outcome->record(message, isError);
    }
    context.appState.setStatus(message, isError);
}

void setStatusKey(const ExecutionContext& context, std::string_view key, bool isError,
                  const TextParams& params) {
    postRunStatus(context, context.i18n.text(key, params), isError);
}

void postShowMainWindow(const ExecutionContext& context) {
    context.notifications.post(notifications::showMainWindow);
}

}  // namespace orvex

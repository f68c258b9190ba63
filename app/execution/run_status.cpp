#include "app/execution/run_status.h"

#include "app/i18n/localization_manager.h"
#include "app/notifications/notification_center.h"
#include "app/store/app_state.h"

namespace orvex {

void setStatusKey(const ExecutionContext& context, std::string_view key, bool isError,
                  const TextParams& params) {
    context.appState.setStatus(context.i18n.text(key, params), isError);
}

void postShowMainWindow(const ExecutionContext& context) {
    context.notifications.post(notifications::showMainWindow);
}

}  // namespace orvex

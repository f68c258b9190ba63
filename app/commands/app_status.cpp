#include "app/commands/app_status.h"

#include <algorithm>

#include "app/i18n/localization_manager.h"
#include "app/store/app_state.h"

namespace orvex {

CLIAppStatus appStatus(const AppState& state, const LocalizationManager& i18n) {
    const std::vector<PresetItem>& items = state.presets();
    return CLIAppStatus{
        .running = true,
        .language = i18n.currentLang(),
        .presetCount = static_cast<std::int64_t>(state.allPresets().size()),
        .folderCount = std::count_if(items.begin(), items.end(),
                                     [](const PresetItem& item) { return item.isFolder(); }),
        .alwaysOnTop = state.alwaysOnTop(),
    };
}

void appStatusCommand(const CommandServices& services, const CLICommand&,
                      const CommandReply& reply) {
    CLIResponseData data;
    data.status = appStatus(services.state, services.i18n);
    data.status->x11OnWayland = services.x11OnWayland;
    reply.succeed(std::move(data));
}

}  // namespace orvex

#include "app/store/settings_transfer.h"

#include "app/store/app_state.h"
#include "base/atomic_file.h"

namespace orvex {

std::optional<std::string> exportSettingsTo(const SettingsManager& settings,
                                            const std::filesystem::path& target, ExportWrite how) {
    std::string text = encodeAppSettingsText(settings.load());
    return how == ExportWrite::atomic ? writeFileAtomically(target, text)
                                      : writeFileDirectly(target, text);
}

std::variant<AppSettings, DecodeError> importSettingsFrom(const std::filesystem::path& source) {
    std::string error;
    auto contents = readWholeFile(source, &error, SettingsManager::kMaxSettingsFileBytes);
    if (!contents) {
        return DecodeError{error};
    }
    return decodeAppSettings(std::string_view(*contents));
}

void applyImport(AppState& state, const AppSettings& imported) {
    state.settings().save(imported);
    state.reloadFromSettings();
}

void resetToFactory(AppState& state) {
    SettingsManager& settings = state.settings();
    AppSettings stored = settings.load();
    settings.save(
        AppSettings{settings.defaultPresets(), stored.tutorialCompleted, stored.language});
    state.reloadFromSettings();
}

}  // namespace orvex

#include "app/store/settings_transfer.h"

#include "app/store/app_state.h"
#include "base/atomic_file.h"

namespace orvex {

std::optional<std::string> exportSettingsTo(const SettingsManager& settings,
                                            const std::filesystem::path& target, ExportWrite how) {
    std::string text = encodeAppSettingsText(settings.load());
    // An export holds every prompt of the user, as the settings file does.
    return how == ExportWrite::atomic ? writeFileAtomically(target, text, kSettingsFileMode)
                                      : writeFileDirectly(target, text, kSettingsFileMode);
}

std::variant<AppSettings, DecodeError> importSettingsFrom(const std::filesystem::path& source) {
    std::string error;
    auto contents = readWholeFile(source, &error, SettingsManager::kMaxSettingsFileBytes);
    if (!contents) {
        return DecodeError{error};
    }
    return decodeAppSettings(std::string_view(*contents));
}

SaveResult applyImport(AppState& state, const AppSettings& imported) {
    SaveResult saved = state.settings().save(imported);
    if (saved) {
        state.reloadFromSettings();
    }
    return saved;
}

SaveResult resetToFactory(AppState& state) {
    SettingsManager& settings = state.settings();
    AppSettings stored = settings.load();
    SaveResult saved = settings.save(
        AppSettings{settings.defaultPresets(), stored.tutorialCompleted, stored.language});
    if (saved) {
        state.reloadFromSettings();
    }
    return saved;
}

}  // namespace orvex

#include "app/store/settings_manager.h"

#include <ctime>
#include <system_error>

#include "base/app_paths.h"
#include "base/atomic_file.h"
#include "base/log.h"

namespace orvex {
namespace {

PresetData factoryPreset(std::string id, std::string label, std::string shortcut,
                         std::string fixedPrompt, bool useCapture) {
    PresetData preset;
    preset.id = std::move(id);
    preset.label = std::move(label);
    preset.shortcut = std::move(shortcut);
    preset.fixedPrompt = std::move(fixedPrompt);
    preset.useCapture = useCapture;
    return preset;
}

}  // namespace

SettingsManager::SettingsManager(std::filesystem::path settingsFile, TextLookup factoryTexts)
    : settingsURL_(std::move(settingsFile)), factoryTexts_(std::move(factoryTexts)) {
    // A failure here (the directory exists, or cannot be made) surfaces later as a failed
    // save or a missing file; neither should stop the application from starting.
    if (settingsURL_.has_parent_path()) {
        std::string ignored;
        createPrivateDirectory(settingsURL_.parent_path(), &ignored);
    }
}

std::optional<AppSettings> SettingsManager::loadStored() const {
    log::system("[SettingsManager] Loading from: " + settingsURL_.string());
    std::error_code error;
    if (!std::filesystem::exists(settingsURL_, error)) {
        log::system("[SettingsManager] File not found, using defaults");
        return std::nullopt;
    }
    std::string readError;
    auto contents = readWholeFile(settingsURL_, &readError, kMaxSettingsFileBytes);
    if (!contents) {
        log::system("[SettingsManager] DECODE FAILED: " + readError);
        return std::nullopt;
    }
    log::system("[SettingsManager] Read " + std::to_string(contents->size()) + " bytes");
    auto decoded = decodeAppSettings(std::string_view(*contents));
    if (auto* failure = std::get_if<DecodeError>(&decoded)) {
        log::system("[SettingsManager] DECODE FAILED: " + failure->description);
        return std::nullopt;
    }
    auto& settings = std::get<AppSettings>(decoded);
    log::system("[SettingsManager] Decoded " + std::to_string(settings.presets.size()) +
                " items successfully");
    return std::move(settings);
}

AppSettings SettingsManager::load() const {
    if (auto stored = loadStored()) {
        return std::move(*stored);
    }
    return AppSettings{defaultPresets(), std::nullopt, std::nullopt};
}

bool SettingsManager::save(const AppSettings& settings) const {
    auto failure = writeFileAtomically(settingsURL_, encodeAppSettingsText(settings), 0600);
    if (failure) {
        log::console("Failed to save settings: " + *failure);
        return false;
    }
    return true;
}

std::vector<PresetItem> SettingsManager::defaultPresets() const {
    return defaultPresets(factoryTexts_);
}

std::vector<PresetItem> SettingsManager::defaultPresets(const TextLookup& texts) {
    // Without a text table the keys stand in for their texts, as lookups of unknown keys do.
    auto text = [&texts](const std::string& key) { return texts ? texts(key) : key; };

    PresetData multiSend = factoryPreset("4", text("defaultPresets.multiAISend"), "", "", false);
    multiSend.destinations = {"chatgpt-app", "gemini-app", "claude-app"};
    multiSend.multiDestMode = "all";

    return {
        PresetItem{factoryPreset("1", text("defaultPresets.dictionary"), "Alt+D",
                                 text("defaultPresets.dictionaryPrompt"), false)},
        PresetItem{factoryPreset("2", text("defaultPresets.translate"), "Alt+T",
                                 text("defaultPresets.translatePrompt"), false)},
        PresetItem{factoryPreset("3", text("defaultPresets.captureTranslate"),
                                 "CommandOrControl+Shift+2",
                                 text("defaultPresets.captureTranslatePrompt"), true)},
        PresetItem{std::move(multiSend)},
    };
}

std::string proposedExportFileName(std::chrono::system_clock::time_point when) {
    std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    localtime_r(&seconds, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%y%m%d.%H%M%S", &local);
    return std::string("orvex-settings-") + stamp + ".json";
}

}  // namespace orvex

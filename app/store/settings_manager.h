#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/store/preset_model.h"

namespace orvex {

// Looks up a localized text by dotted key ("defaultPresets.dictionary").
using TextLookup = std::function<std::string(const std::string& key)>;

// Owns the settings file: reading with the factory fallback, atomic writing, and the
// factory presets.
class SettingsManager {
  public:
    // A settings or import file larger than this is refused unread, so a stray huge file
    // costs a decode failure rather than the process's memory.
    static constexpr std::size_t kMaxSettingsFileBytes = 16u << 20;

    // `factoryTexts` labels the factory presets when load() falls back to them. The
    // localization manager is not built yet when the settings are first read, so start-up
    // uses loadStored() and defaultPresets(texts) instead (see LocalizationManager).
    explicit SettingsManager(std::filesystem::path settingsFile, TextLookup factoryTexts = {});

    const std::filesystem::path& settingsURL() const { return settingsURL_; }
    void setFactoryTexts(TextLookup texts) { factoryTexts_ = std::move(texts); }

    // The stored settings, or nullopt when there is no readable file. Logs the load lines.
    std::optional<AppSettings> loadStored() const;
    // Never fails: the stored settings, or the factory presets without tutorialCompleted
    // and language.
    AppSettings load() const;
    // Writes atomically; a failure prints "Failed to save settings: ..." and returns false.
    bool save(const AppSettings& settings) const;

    std::vector<PresetItem> defaultPresets() const;
    static std::vector<PresetItem> defaultPresets(const TextLookup& texts);

  private:
    std::filesystem::path settingsURL_;
    TextLookup factoryTexts_;
};

// The dialog-free cores of the settings menu actions and commands.
// "orvex-settings-" + yyMMdd.HHmmss (local time) + ".json".
std::string proposedExportFileName(std::chrono::system_clock::time_point when);

}  // namespace orvex

#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <variant>

#include "app/store/preset_model.h"
#include "app/store/settings_manager.h"

namespace orvex {

class AppState;

// The dialog-free cores of settings export, import and reset. The menu actions wrap them
// in dialogs; the settings.* commands call them directly and word their own answers.

// The menu writes the export in place; the command replaces the target atomically.
enum class ExportWrite { direct, atomic };

// Writes what load() returns (the file's content, or the factory presets when there is no
// readable file) to `target`. Returns the error description on failure.
std::optional<std::string> exportSettingsTo(const SettingsManager& settings,
                                            const std::filesystem::path& target, ExportWrite how);

// Reads and decodes a settings file by the read-time rules (defaults, migration).
// Nothing is changed here; an error carries the reading or decoding description.
std::variant<AppSettings, DecodeError> importSettingsFrom(const std::filesystem::path& source);

// Replaces the settings with an imported value as it was read (its own tutorialCompleted
// and language included), then shows the list read back from the file and re-registers
// the hot keys. A refused save changes nothing.
SaveResult applyImport(AppState& state, const AppSettings& imported);

// Saves the factory presets, keeping the stored tutorialCompleted and language, then
// shows the list read back from the file and re-registers the hot keys. A refused save
// changes nothing.
SaveResult resetToFactory(AppState& state);

}  // namespace orvex

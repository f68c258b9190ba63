#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include <sys/types.h>

#include "app/store/preset_model.h"

namespace orvex {

// Looks up a localized text by dotted key ("defaultPresets.dictionary").
using TextLookup = std::function<std::string(const std::string& key)>;

// The settings file and its exports hold every prompt of the user.
inline constexpr mode_t kSettingsFileMode = 0600;

// What a save has to tell the user beyond its own result; the shell shows it in the
// status line.
struct SettingsNotice {
    enum class Kind {
        // The file the last load could not read was kept under `keptFile` before the
        // factory presets (or whatever the save held) replaced it.
        unreadableFileKept,
        // The save was refused: its file would be too large to be read back.
        saveTooLarge,
        // The file could not be written (a full disk, a read-only directory); `reason`
        // says why. The file on disk is still the one before the save.
        saveFailed,
    };
    Kind kind;
    std::filesystem::path keptFile;
    std::string reason;
};
using SettingsNoticeHandler = std::function<void(const SettingsNotice&)>;

// How a save ended; converts to true when the file was written.
struct SaveResult {
    std::optional<std::string> error;
    explicit operator bool() const { return !error; }
};

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

    // Notices raised before a handler is set (the language step at start-up saves before
    // there is a status line) are handed to it when it is set.
    void setNoticeHandler(SettingsNoticeHandler handler);

    // The stored settings, or nullopt when there is no readable file. Logs the load lines.
    // The first load also removes the temporaries of saves that an earlier run was killed
    // in the middle of: only the process holding the instance lock makes a SettingsManager,
    // so none of them can belong to a save still going on.
    std::optional<AppSettings> loadStored() const;
    // Never fails: the stored settings, or the factory presets without tutorialCompleted
    // and language.
    AppSettings load() const;
    // Writes atomically; a failure prints "Failed to save settings: ..." and leaves the
    // file as it was. A file the last load could not read is first kept beside it (the
    // save is refused when it cannot be kept), and a file too large to be read back is
    // never written.
    SaveResult save(const AppSettings& settings) const;

    std::vector<PresetItem> defaultPresets() const;
    static std::vector<PresetItem> defaultPresets(const TextLookup& texts);

  private:
    // Keeps the unreadable file under a new name beside it; returns the name, or an error.
    std::variant<std::filesystem::path, std::string> keepUnreadableFile() const;
    void notify(SettingsNotice notice) const;

    std::filesystem::path settingsURL_;
    TextLookup factoryTexts_;
    // Whether the last load found a file it could not read; a save must not destroy it.
    mutable bool lastLoadUnreadable_ = false;
    mutable bool staleTemporariesRemoved_ = false;
    SettingsNoticeHandler noticeHandler_;
    mutable std::vector<SettingsNotice> pendingNotices_;
};

// The dialog-free cores of the settings menu actions and commands.
// "orvex-settings-" + yyMMdd.HHmmss (local time) + ".json".
std::string proposedExportFileName(std::chrono::system_clock::time_point when);

}  // namespace orvex

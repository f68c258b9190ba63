#include "app/store/settings_manager.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <system_error>
#include <utility>

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

void SettingsManager::setNoticeHandler(SettingsNoticeHandler handler) {
    noticeHandler_ = std::move(handler);
    std::vector<SettingsNotice> pending = std::exchange(pendingNotices_, {});
    for (SettingsNotice& notice : pending) {
        notify(std::move(notice));
    }
}

void SettingsManager::notify(SettingsNotice notice) const {
    if (noticeHandler_) {
        noticeHandler_(notice);
    } else {
        pendingNotices_.push_back(std::move(notice));
    }
}

std::optional<AppSettings> SettingsManager::loadStored() const {
    log::system("[SettingsManager] Loading from: " + settingsURL_.string());
    lastLoadUnreadable_ = false;
    if (!std::exchange(staleTemporariesRemoved_, true)) {
        if (std::size_t removed = removeStaleAtomicTemporaries(settingsURL_)) {
            log::system("[SettingsManager] Removed " + std::to_string(removed) +
                        " temporary files of interrupted saves");
        }
    }
    std::error_code error;
    if (!std::filesystem::exists(settingsURL_, error)) {
        log::system("[SettingsManager] File not found, using defaults");
        return std::nullopt;
    }
    std::string readError;
    auto contents = readWholeFile(settingsURL_, &readError, kMaxSettingsFileBytes);
    if (!contents) {
        log::system("[SettingsManager] DECODE FAILED: " + readError);
        lastLoadUnreadable_ = true;
        return std::nullopt;
    }
    log::system("[SettingsManager] Read " + std::to_string(contents->size()) + " bytes");
    auto decoded = decodeAppSettings(std::string_view(*contents));
    if (auto* failure = std::get_if<DecodeError>(&decoded)) {
        log::system("[SettingsManager] DECODE FAILED: " + failure->description);
        lastLoadUnreadable_ = true;
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

SaveResult SettingsManager::save(const AppSettings& settings) const {
    auto refuse = [](std::string reason) {
        log::console("Failed to save settings: " + reason);
        return SaveResult{std::move(reason)};
    };
    std::string text = encodeAppSettingsText(settings);
    if (text.size() > kMaxSettingsFileBytes) {
        notify({SettingsNotice::Kind::saveTooLarge, {}, {}});
        return refuse("the settings would take " + std::to_string(text.size()) +
                      " bytes, more than the " + std::to_string(kMaxSettingsFileBytes) +
                      " bytes a settings file may have");
    }
    std::optional<std::filesystem::path> kept;
    if (lastLoadUnreadable_) {
        auto keeping = keepUnreadableFile();
        if (auto* error = std::get_if<std::string>(&keeping)) {
            std::string reason = "the unreadable settings file could not be kept: " + *error;
            notify({SettingsNotice::Kind::saveFailed, {}, reason});
            return refuse(std::move(reason));
        }
        kept = std::get<std::filesystem::path>(keeping);
    }
    if (auto failure = writeFileAtomically(settingsURL_, text, kSettingsFileMode)) {
        if (kept) {
            // The unreadable file is still in place; the next save keeps it again.
            std::error_code ignored;
            std::filesystem::remove(*kept, ignored);
        }
        notify({SettingsNotice::Kind::saveFailed, {}, *failure});
        return refuse(*failure);
    }
    lastLoadUnreadable_ = false;
    if (kept) {
        log::system("[SettingsManager] Kept the unreadable settings file as: " + kept->string());
        notify({SettingsNotice::Kind::unreadableFileKept, *kept, {}});
    }
    return {};
}

std::variant<std::filesystem::path, std::string> SettingsManager::keepUnreadableFile() const {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = settingsURL_.string() + ".unreadable-" + stamp;

    // A second name in the same second gets a number; an earlier kept file is never
    // replaced. A hard link keeps the bytes without copying them; where the file system
    // has none, a copy does.
    for (int attempt = 1; attempt < 1000; ++attempt) {
        std::filesystem::path candidate =
            attempt == 1 ? base : base + "-" + std::to_string(attempt);
        if (::link(settingsURL_.c_str(), candidate.c_str()) != 0) {
            if (errno == EEXIST) {
                continue;
            }
            std::error_code error;
            if (!std::filesystem::copy_file(settingsURL_, candidate, error)) {
                if (error == std::errc::file_exists) {
                    continue;
                }
                return error.message();
            }
        }
        ::chmod(candidate.c_str(), kSettingsFileMode);
        return candidate;
    }
    return std::string("every name for it is taken");
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

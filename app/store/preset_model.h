#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "base/json.h"

namespace orvex {

// One preset. A missing, null or mistyped key reads as the value given here (the blank
// preset), except `id`, which reads as a fresh UUID.
struct PresetData {
    std::string type = "preset";
    std::optional<std::string> folderId;
    std::string id;
    std::string label;
    std::string shortcut;
    std::string destination = "chatgpt-app";
    std::vector<std::string> destinations;
    std::string multiDestMode = "lastUsed";
    std::string fixedPrompt;
    std::string mode = "selection";
    bool useCapture = false;
    bool cutText = false;
    bool autoSend = true;
    std::string filePath;
    std::string appName;
    bool createFile = false;
    std::string fileExt;

    bool operator==(const PresetData&) const = default;
};

struct FolderItem {
    std::string type = "folder";
    std::string id;
    std::string label;
    bool open = true;

    bool operator==(const FolderItem&) const = default;
};

// One element of the preset list: a folder or a preset, in that case order.
struct PresetItem {
    std::variant<FolderItem, PresetData> value;

    bool isFolder() const { return std::holds_alternative<FolderItem>(value); }
    bool isPreset() const { return std::holds_alternative<PresetData>(value); }
    const FolderItem* folder() const { return std::get_if<FolderItem>(&value); }
    FolderItem* folder() { return std::get_if<FolderItem>(&value); }
    const PresetData* preset() const { return std::get_if<PresetData>(&value); }
    PresetData* preset() { return std::get_if<PresetData>(&value); }
    const std::string& id() const;

    bool operator==(const PresetItem&) const = default;
};

struct AppSettings {
    std::vector<PresetItem> presets;
    std::optional<bool> tutorialCompleted;
    std::optional<std::string> language;

    bool operator==(const AppSettings&) const = default;
};

enum class ActionType { aiSend, activateApp, openFile, createFile };

// "ai", "activate-app", "open-file", "create-file".
std::string toString(ActionType type);
// Derived, never stored: createFile wins over appName, appName over filePath.
ActionType actionType(const PresetData& preset);

// The blank preset with a fresh UUID, as new presets start out.
PresetData newBlankPreset();

// Legacy destination key to its current key, or the key itself when it has no entry.
std::string migrateDestinationKey(const std::string& key);

// Reading by the read-time rules (defaults key by key, folder/preset discrimination,
// destination migration). Failures carry a description for the log.
struct DecodeError {
    std::string description;
};
std::variant<PresetItem, DecodeError> decodePresetItem(const Json& json);
PresetData decodePresetData(const Json& json);
std::variant<AppSettings, DecodeError> decodeAppSettings(const Json& json);
// Parses text and decodes it; invalid JSON or UTF-8 is a DecodeError.
std::variant<AppSettings, DecodeError> decodeAppSettings(std::string_view text);

Json encodePresetData(const PresetData& preset);
Json encodeFolderItem(const FolderItem& folder);
Json encodePresetItem(const PresetItem& item);
Json encodeAppSettings(const AppSettings& settings);
// The file form: pretty-printed, keys sorted, trailing newline.
std::string encodeAppSettingsText(const AppSettings& settings);

// The presets of the list in order, folders skipped.
std::vector<PresetData> flattenPresets(const std::vector<PresetItem>& items);

}  // namespace orvex

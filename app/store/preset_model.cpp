#include "app/store/preset_model.h"

#include <algorithm>
#include <array>
#include <utility>

#include "base/uuid.h"

namespace orvex {
namespace {

constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kLegacyDestinations{{
    {"chatgpt", "chatgpt-app"},
    {"claude", "claude-app"},
    {"chatgpt-web", "chatgpt-app"},
    {"claude-web", "claude-app"},
    {"gemini", "gemini-app"},
    {"focused-field", "last-input-field"},
}};

// A preset key that is missing, null or of the wrong type keeps the value already in
// `out` (the blank preset's), so one bad key never costs the whole preset.
void readString(const Json& object, const char* key, std::string& out) {
    auto it = object.find(key);
    if (it != object.end() && it->is_string()) {
        out = it->get<std::string>();
    }
}

void readBool(const Json& object, const char* key, bool& out) {
    auto it = object.find(key);
    if (it != object.end() && it->is_boolean()) {
        out = it->get<bool>();
    }
}

// A list with any non-string element is of the wrong type as a whole.
void readStringList(const Json& object, const char* key, std::vector<std::string>& out) {
    auto it = object.find(key);
    if (it == object.end() || !it->is_array()) {
        return;
    }
    std::vector<std::string> values;
    for (const auto& element : *it) {
        if (!element.is_string()) {
            return;
        }
        values.push_back(element.get<std::string>());
    }
    out = std::move(values);
}

std::string jsonTypeName(const Json& value) {
    return value.type_name();
}

std::optional<DecodeError> requireFolderKey(const Json& object, const char* key, bool wantBool) {
    auto it = object.find(key);
    if (it == object.end() || it->is_null()) {
        return DecodeError{std::string("folder is missing the key \"") + key + "\""};
    }
    if (wantBool ? !it->is_boolean() : !it->is_string()) {
        return DecodeError{std::string("folder key \"") + key + "\" must be a " +
                           (wantBool ? "boolean" : "string") + ", not " + jsonTypeName(*it)};
    }
    return std::nullopt;
}

std::variant<FolderItem, DecodeError> decodeFolderItem(const Json& object) {
    for (const char* key : {"type", "id", "label"}) {
        if (auto error = requireFolderKey(object, key, false)) {
            return *error;
        }
    }
    if (auto error = requireFolderKey(object, "open", true)) {
        return *error;
    }
    FolderItem folder;
    folder.id = object.at("id").get<std::string>();
    folder.label = object.at("label").get<std::string>();
    folder.open = object.at("open").get<bool>();
    return folder;
}

}  // namespace

const std::string& PresetItem::id() const {
    return std::visit([](const auto& record) -> const std::string& { return record.id; }, value);
}

std::string toString(ActionType type) {
    switch (type) {
        case ActionType::aiSend:
            return "ai";
        case ActionType::activateApp:
            return "activate-app";
        case ActionType::openFile:
            return "open-file";
        case ActionType::createFile:
            return "create-file";
    }
    return "ai";
}

ActionType actionType(const PresetData& preset) {
    if (preset.createFile) {
        return ActionType::createFile;
    }
    if (!preset.appName.empty()) {
        return ActionType::activateApp;
    }
    if (!preset.filePath.empty()) {
        return ActionType::openFile;
    }
    return ActionType::aiSend;
}

PresetData newBlankPreset() {
    PresetData preset;
    preset.id = newUuid();
    return preset;
}

std::string migrateDestinationKey(const std::string& key) {
    for (const auto& [legacy, current] : kLegacyDestinations) {
        if (key == legacy) {
            return std::string(current);
        }
    }
    return key;
}

PresetData decodePresetData(const Json& json) {
    static const Json kEmptyObject = Json::object();
    const Json& object = json.is_object() ? json : kEmptyObject;

    PresetData preset;
    auto folderId = object.find("folderId");
    if (folderId != object.end() && folderId->is_string()) {
        preset.folderId = folderId->get<std::string>();
    }
    auto id = object.find("id");
    preset.id = (id != object.end() && id->is_string()) ? id->get<std::string>() : newUuid();
    readString(object, "label", preset.label);
    readString(object, "shortcut", preset.shortcut);
    readString(object, "destination", preset.destination);
    readStringList(object, "destinations", preset.destinations);
    readString(object, "multiDestMode", preset.multiDestMode);
    readString(object, "fixedPrompt", preset.fixedPrompt);
    readString(object, "mode", preset.mode);
    readBool(object, "useCapture", preset.useCapture);
    readBool(object, "cutText", preset.cutText);
    readBool(object, "autoSend", preset.autoSend);
    readString(object, "filePath", preset.filePath);
    readString(object, "appName", preset.appName);
    readBool(object, "createFile", preset.createFile);
    readString(object, "fileExt", preset.fileExt);

    preset.destination = migrateDestinationKey(preset.destination);
    if (preset.destinations.empty()) {
        preset.destinations = {preset.destination};
    } else {
        std::vector<std::string> migrated;
        for (const auto& key : preset.destinations) {
            std::string current = migrateDestinationKey(key);
            if (std::find(migrated.begin(), migrated.end(), current) == migrated.end()) {
                migrated.push_back(std::move(current));
            }
        }
        preset.destinations = std::move(migrated);
    }
    // Whatever the element said ("Folder", "group"), in memory it is a preset.
    preset.type = "preset";
    return preset;
}

std::variant<PresetItem, DecodeError> decodePresetItem(const Json& json) {
    if (!json.is_object()) {
        return DecodeError{"list element must be an object, not " + jsonTypeName(json)};
    }
    auto type = json.find("type");
    if (type != json.end() && !type->is_null()) {
        if (!type->is_string()) {
            return DecodeError{"\"type\" must be a string, not " + jsonTypeName(*type)};
        }
        if (type->get<std::string>() == "folder") {
            auto folder = decodeFolderItem(json);
            if (auto* error = std::get_if<DecodeError>(&folder)) {
                return *error;
            }
            return PresetItem{std::get<FolderItem>(std::move(folder))};
        }
    }
    return PresetItem{decodePresetData(json)};
}

std::variant<AppSettings, DecodeError> decodeAppSettings(const Json& json) {
    if (!json.is_object()) {
        return DecodeError{"settings must be a JSON object, not " + jsonTypeName(json)};
    }
    auto presets = json.find("presets");
    if (presets == json.end() || presets->is_null()) {
        return DecodeError{"missing the key \"presets\""};
    }
    if (!presets->is_array()) {
        return DecodeError{"\"presets\" must be a list, not " + jsonTypeName(*presets)};
    }
    AppSettings settings;
    settings.presets.reserve(presets->size());
    for (std::size_t index = 0; index < presets->size(); ++index) {
        auto item = decodePresetItem((*presets)[index]);
        if (auto* error = std::get_if<DecodeError>(&item)) {
            return DecodeError{"presets[" + std::to_string(index) + "]: " + error->description};
        }
        settings.presets.push_back(std::get<PresetItem>(std::move(item)));
    }
    auto tutorial = json.find("tutorialCompleted");
    if (tutorial != json.end() && !tutorial->is_null()) {
        if (!tutorial->is_boolean()) {
            return DecodeError{"\"tutorialCompleted\" must be a boolean, not " +
                               jsonTypeName(*tutorial)};
        }
        settings.tutorialCompleted = tutorial->get<bool>();
    }
    auto language = json.find("language");
    if (language != json.end() && !language->is_null()) {
        if (!language->is_string()) {
            return DecodeError{"\"language\" must be a string, not " + jsonTypeName(*language)};
        }
        settings.language = language->get<std::string>();
    }
    return settings;
}

std::variant<AppSettings, DecodeError> decodeAppSettings(std::string_view text) {
    auto parsed = parseJson(text);
    if (!parsed.value) {
        return DecodeError{"invalid JSON: " + parsed.error};
    }
    return decodeAppSettings(*parsed.value);
}

Json encodePresetData(const PresetData& preset) {
    Json object = Json::object();
    object["appName"] = preset.appName;
    object["autoSend"] = preset.autoSend;
    object["createFile"] = preset.createFile;
    object["cutText"] = preset.cutText;
    object["destination"] = preset.destination;
    object["destinations"] = preset.destinations;
    object["fileExt"] = preset.fileExt;
    object["filePath"] = preset.filePath;
    object["fixedPrompt"] = preset.fixedPrompt;
    if (preset.folderId) {
        object["folderId"] = *preset.folderId;
    }
    object["id"] = preset.id;
    object["label"] = preset.label;
    object["mode"] = preset.mode;
    object["multiDestMode"] = preset.multiDestMode;
    object["shortcut"] = preset.shortcut;
    // Always "preset": any other value here could turn the record into an unreadable
    // folder (and the whole file with it) the next time it is read.
    object["type"] = "preset";
    object["useCapture"] = preset.useCapture;
    return object;
}

Json encodeFolderItem(const FolderItem& folder) {
    return Json{
        {"id", folder.id}, {"label", folder.label}, {"open", folder.open}, {"type", "folder"}};
}

Json encodePresetItem(const PresetItem& item) {
    if (const auto* folder = item.folder()) {
        return encodeFolderItem(*folder);
    }
    return encodePresetData(*item.preset());
}

Json encodeAppSettings(const AppSettings& settings) {
    Json list = Json::array();
    for (const auto& item : settings.presets) {
        list.push_back(encodePresetItem(item));
    }
    Json object = Json::object();
    object["presets"] = std::move(list);
    if (settings.tutorialCompleted) {
        object["tutorialCompleted"] = *settings.tutorialCompleted;
    }
    if (settings.language) {
        object["language"] = *settings.language;
    }
    return object;
}

std::string encodeAppSettingsText(const AppSettings& settings) {
    return toPrettyJson(encodeAppSettings(settings));
}

std::vector<PresetData> flattenPresets(const std::vector<PresetItem>& items) {
    std::vector<PresetData> presets;
    for (const auto& item : items) {
        if (const auto* preset = item.preset()) {
            presets.push_back(*preset);
        }
    }
    return presets;
}

}  // namespace orvex

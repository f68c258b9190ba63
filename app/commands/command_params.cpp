#include "app/commands/command_params.h"

namespace orvex {

const std::string* findParam(const CommandParams& params, std::string_view key) {
    auto found = params.find(std::string(key));
    return found == params.end() ? nullptr : &found->second;
}

bool booleanParam(const std::string& value) {
    return value == "true";
}

std::vector<std::string> listParam(const std::string& value) {
    std::vector<std::string> pieces;
    std::string_view rest = value;
    while (!rest.empty()) {
        const std::size_t comma = rest.find(',');
        const std::string_view piece = rest.substr(0, comma);
        if (!piece.empty()) {
            pieces.emplace_back(piece);
        }
        if (comma == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(comma + 1);
    }
    return pieces;
}

namespace {

void takeText(const CommandParams& params, const char* key, std::string& field) {
    if (const std::string* value = findParam(params, key)) {
        field = *value;
    }
}

void takeBoolean(const CommandParams& params, const char* key, bool& field) {
    if (const std::string* value = findParam(params, key)) {
        field = booleanParam(*value);
    }
}

}  // namespace

void applyParams(PresetData& preset, const CommandParams& params) {
    takeText(params, "label", preset.label);
    takeText(params, "shortcut", preset.shortcut);
    takeText(params, "destination", preset.destination);
    if (const std::string* value = findParam(params, "destinations")) {
        preset.destinations = listParam(*value);
    }
    takeText(params, "multiDestMode", preset.multiDestMode);
    takeText(params, "fixedPrompt", preset.fixedPrompt);
    takeBoolean(params, "useCapture", preset.useCapture);
    takeBoolean(params, "cutText", preset.cutText);
    takeBoolean(params, "autoSend", preset.autoSend);
    takeText(params, "filePath", preset.filePath);
    takeText(params, "appName", preset.appName);
    takeBoolean(params, "createFile", preset.createFile);
    takeText(params, "fileExt", preset.fileExt);
    if (const std::string* value = findParam(params, "folderId")) {
        preset.folderId = *value;
    }
}

void applyLabelRule(PresetData& preset, const std::string& newPresetLabel) {
    if (preset.label.find_first_not_of(" \t") == std::string::npos) {
        preset.label = newPresetLabel;
    }
}

}  // namespace orvex

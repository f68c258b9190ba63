#include "app/commands/preset_records.h"

#include <algorithm>

namespace orvex {

std::vector<std::string> reportedDestinations(const PresetData& preset) {
    if (preset.destinations.empty()) {
        return {preset.destination};
    }
    return preset.destinations;
}

CLIPresetSummary presetSummary(const PresetData& preset) {
    return CLIPresetSummary{
        .id = preset.id,
        .label = preset.label,
        .shortcut = preset.shortcut,
        .actionType = toString(actionType(preset)),
        .folderId = preset.folderId,
        .destinations = reportedDestinations(preset),
    };
}

CLIPresetDetail presetDetail(const PresetData& preset) {
    return CLIPresetDetail{
        .id = preset.id,
        .label = preset.label,
        .shortcut = preset.shortcut,
        .actionType = toString(actionType(preset)),
        .destination = preset.destination,
        .destinations = reportedDestinations(preset),
        .multiDestMode = preset.multiDestMode,
        .fixedPrompt = preset.fixedPrompt,
        .useCapture = preset.useCapture,
        .cutText = preset.cutText,
        .autoSend = preset.autoSend,
        .filePath = preset.filePath,
        .appName = preset.appName,
        .createFile = preset.createFile,
        .fileExt = preset.fileExt,
        .folderId = preset.folderId,
    };
}

std::vector<CLIFolderSummary> folderSummaries(const std::vector<PresetItem>& items) {
    const std::vector<PresetData> presets = flattenPresets(items);
    std::vector<CLIFolderSummary> folders;
    for (const PresetItem& item : items) {
        if (const FolderItem* folder = item.folder()) {
            const auto count =
                std::count_if(presets.begin(), presets.end(),
                              [folder](const PresetData& p) { return p.folderId == folder->id; });
            folders.push_back(CLIFolderSummary{folder->id, folder->label, folder->open, count});
        }
    }
    return folders;
}

std::optional<PresetData> findPreset(const std::vector<PresetItem>& items, const std::string& id) {
    for (const PresetItem& item : items) {
        if (const PresetData* preset = item.preset(); preset && preset->id == id) {
            return *preset;
        }
    }
    return std::nullopt;
}

}  // namespace orvex

#include "app/ui/preset_groups.h"

#include "app/execution/ai_destination.h"

namespace orvex {

std::vector<PresetGroup> groupPresets(const std::vector<PresetItem>& items) {
    std::vector<PresetGroup> groups;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (const PresetData* preset = items[i].preset()) {
            groups.push_back({std::nullopt, {*preset}});
            continue;
        }
        PresetGroup group{*items[i].folder(), {}};
        while (i + 1 < items.size()) {
            const PresetData* next = items[i + 1].preset();
            if (!next || next->folderId != group.folder->id) {
                break;
            }
            group.presets.push_back(*next);
            ++i;
        }
        groups.push_back(std::move(group));
    }
    return groups;
}

std::optional<std::vector<PresetItem>> withFolderToggled(std::vector<PresetItem> items,
                                                         const std::string& folderId) {
    for (PresetItem& item : items) {
        if (item.id() != folderId) {
            continue;
        }
        FolderItem* folder = item.folder();
        if (!folder) {
            return std::nullopt;
        }
        folder->open = !folder->open;
        return items;
    }
    return std::nullopt;
}

std::string badgeKey(const PresetData& preset) {
    switch (actionType(preset)) {
        case ActionType::aiSend:
            return "index.badgeAI";
        case ActionType::activateApp:
            return "index.badgeApp";
        case ActionType::openFile:
            return "index.badgeFile";
        case ActionType::createFile:
            return "index.badgeCreate";
    }
    return "index.badgeAI";
}

std::optional<std::string> destinationTextKey(const PresetData& preset) {
    if (actionType(preset) != ActionType::aiSend) {
        return std::nullopt;
    }
    const std::vector<std::string> chosen = preset.destinations.empty()
                                                ? std::vector<std::string>{preset.destination}
                                                : preset.destinations;
    if (chosen.size() >= 2) {
        return "index.badgeMultipleAI";
    }
    std::optional<AIDestination> destination = destinationFromIdentifier(chosen.front());
    if (!destination) {
        return std::nullopt;
    }
    switch (*destination) {
        case AIDestination::chatgptApp:
            return "index.destChatGPT";
        case AIDestination::chatgptClassic:
            return "index.destChatGPTClassic";
        case AIDestination::chatgptWeb:
            return "index.destChatGPTWeb";
        case AIDestination::geminiApp:
            return "index.destGemini";
        case AIDestination::gemini:
            return "index.destGeminiWeb";
        case AIDestination::claudeApp:
            return "index.destClaude";
        case AIDestination::claudeWeb:
            return "index.destClaudeWeb";
        case AIDestination::terminal:
            return "index.destTerminal";
        case AIDestination::lastInputField:
            return "index.destLastInputField";
    }
    return std::nullopt;
}

}  // namespace orvex

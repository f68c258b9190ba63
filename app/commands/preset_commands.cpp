#include "app/commands/preset_commands.h"

#include <algorithm>

#include "app/commands/command_params.h"
#include "app/commands/command_reply.h"
#include "app/commands/preset_records.h"
#include "app/i18n/localization_manager.h"
#include "app/store/app_state.h"

namespace orvex {

namespace {

constexpr const char* kMissingId = "Missing param: id";
constexpr const char* kNewPresetKey = "settings.newPreset";

std::string presetNotFound(const std::string& id) {
    return "Preset not found: " + id;
}

CLIResponseData messageWithPreset(std::string message, const PresetData& preset) {
    CLIResponseData data;
    data.message = std::move(message);
    data.preset = presetDetail(preset);
    return data;
}

}  // namespace

void presetList(const CommandServices& services, const CLICommand&, const CommandReply& reply) {
    const std::vector<PresetItem>& items = services.state.presets();
    CLIResponseData data;
    data.presets.emplace();
    for (const PresetData& preset : flattenPresets(items)) {
        data.presets->push_back(presetSummary(preset));
    }
    data.folders = folderSummaries(items);
    reply.succeed(std::move(data));
}

void presetGet(const CommandServices& services, const CLICommand& command,
               const CommandReply& reply) {
    const std::string* id = findParam(command.params, "id");
    if (!id) {
        return reply.fail(kMissingId);
    }
    std::optional<PresetData> preset = findPreset(services.state.presets(), *id);
    if (!preset) {
        return reply.fail(presetNotFound(*id));
    }
    CLIResponseData data;
    data.preset = presetDetail(*preset);
    reply.succeed(std::move(data));
}

void presetCreate(const CommandServices& services, const CLICommand& command,
                  const CommandReply& reply) {
    PresetData preset = newBlankPreset();
    applyParams(preset, command.params);
    applyLabelRule(preset, services.i18n.text(kNewPresetKey));

    std::vector<PresetItem> items = services.state.presets();
    items.insert(items.begin(), PresetItem{preset});
    if (saved(services.state.commitPresets(std::move(items)), reply)) {
        reply.succeed(messageWithPreset("Created", preset));
    }
}

void presetUpdate(const CommandServices& services, const CLICommand& command,
                  const CommandReply& reply) {
    const std::string* id = findParam(command.params, "id");
    if (!id) {
        return reply.fail(kMissingId);
    }
    std::vector<PresetItem> items = services.state.presets();
    auto found = std::find_if(items.begin(), items.end(),
                              [id](const PresetItem& item) { return item.id() == *id; });
    if (found == items.end() || !found->isPreset()) {
        return reply.fail(presetNotFound(*id));
    }
    PresetData& preset = *found->preset();
    applyParams(preset, command.params);
    applyLabelRule(preset, services.i18n.text(kNewPresetKey));
    const PresetData updated = preset;

    if (saved(services.state.commitPresets(std::move(items)), reply)) {
        reply.succeed(messageWithPreset("Updated", updated));
    }
}

void presetDelete(const CommandServices& services, const CLICommand& command,
                  const CommandReply& reply) {
    const std::string* id = findParam(command.params, "id");
    if (!id) {
        return reply.fail(kMissingId);
    }
    // A deleted folder leaves its presets in place, still naming it; "folder.delete" is
    // the action that moves them to the top level.
    std::vector<PresetItem> items = services.state.presets();
    std::erase_if(items, [id](const PresetItem& item) { return item.id() == *id; });
    if (saved(services.state.commitPresets(std::move(items)), reply)) {
        reply.succeedWithMessage("Deleted");
    }
}

void presetExecute(const CommandServices& services, const CLICommand& command,
                   const CommandReply& reply) {
    const std::string* id = findParam(command.params, "id");
    if (!id) {
        return reply.fail(kMissingId);
    }
    std::optional<PresetData> preset = findPreset(services.state.presets(), *id);
    if (!preset) {
        return reply.fail(presetNotFound(*id));
    }
    if (!services.runPreset) {
        return reply.fail("Executed with error: no preset executor is available");
    }
    const std::string label = preset->label;
    services.runPreset(std::move(*preset), [reply, label](std::optional<std::string> lastError) {
        if (lastError) {
            reply.fail("Executed with error: " + *lastError);
        } else {
            reply.succeedWithMessage("Executed: " + label);
        }
    });
}

}  // namespace orvex

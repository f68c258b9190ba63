#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/store/preset_model.h"
#include "protocol/cli_records.h"

namespace orvex {

// The destinations a client is shown: the preset's list, or its single `destination`
// when the list is empty.
std::vector<std::string> reportedDestinations(const PresetData& preset);

CLIPresetSummary presetSummary(const PresetData& preset);
CLIPresetDetail presetDetail(const PresetData& preset);

// One summary per folder of `items`, in list order, counting the presets that name it.
std::vector<CLIFolderSummary> folderSummaries(const std::vector<PresetItem>& items);

// The first preset of the flattened list (folders skipped) with exactly this id.
std::optional<PresetData> findPreset(const std::vector<PresetItem>& items, const std::string& id);

}  // namespace orvex

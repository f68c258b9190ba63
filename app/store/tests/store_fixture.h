#pragma once

#include <memory>
#include <vector>

#include "app/store/app_state.h"
#include "app/store/settings_manager.h"
#include "testing/temp_dir.h"
#include "base/clock.h"
#include "base/manual_main_queue.h"

namespace orvex::testing {

// A settings file in a temp directory, a manual main queue on virtual time, and a hot-key
// registrar that records each re-registration.
struct StoreFixture {
    TempDir dir;
    std::filesystem::path settingsFile = dir / "settings.json";
    SettingsManager settings{settingsFile};
    VirtualClock clock;
    ManualMainQueue mainQueue{clock};
    std::vector<std::vector<PresetData>> registrations;

    std::unique_ptr<AppState> makeState() {
        return std::make_unique<AppState>(
            settings, mainQueue,
            [this](const std::vector<PresetData>& presets) { registrations.push_back(presets); });
    }

    AppSettings stored() const {
        auto decoded = decodeAppSettings(std::string_view(readText(settingsFile)));
        return std::get<AppSettings>(decoded);
    }
};

}  // namespace orvex::testing

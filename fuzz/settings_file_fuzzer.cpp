// settings.json as read at start-up and on import: whatever decodes must survive a save and
// a second load unchanged, or a save would quietly alter the user's presets.
#include "app/store/preset_model.h"
#include "fuzz/fuzz_check.h"

using namespace orvex;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    auto decoded = decodeAppSettings(fuzz::text(data, size));
    const auto* settings = std::get_if<AppSettings>(&decoded);
    if (!settings) {
        return 0;
    }
    const std::string saved = encodeAppSettingsText(*settings);
    auto reloaded = decodeAppSettings(std::string_view(saved));
    const auto* again = std::get_if<AppSettings>(&reloaded);
    fuzz::check(again != nullptr, "a saved settings file does not load");
    fuzz::check(*again == *settings, "a saved and reloaded settings file differs");
    fuzz::check(encodeAppSettingsText(*again) == saved, "saving twice gives different files");
    return 0;
}

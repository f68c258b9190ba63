#include "desktop/linux/x11/linux_user_defaults.h"

#include "app/i18n/preferred_languages.h"
#include "base/atomic_file.h"
#include "base/json.h"
#include "base/log.h"

namespace orvex::linux_desktop {

LinuxUserDefaults::LinuxUserDefaults(std::filesystem::path languagesFile)
    : languagesFile_(std::move(languagesFile)) {}

std::vector<std::string> LinuxUserDefaults::preferredLanguages() {
    std::lock_guard lock(mutex_);
    std::string error;
    if (auto text = readWholeFile(languagesFile_, &error, 1u << 16)) {
        JsonParseResult parsed = parseJson(*text);
        std::vector<std::string> stored;
        if (parsed.value && parsed.value->is_array()) {
            for (const Json& item : *parsed.value) {
                if (item.is_string() && !item.get<std::string>().empty())
                    stored.push_back(item.get<std::string>());
            }
        }
        if (!stored.empty())
            return stored;
    }
    return systemPreferredLanguages();
}

void LinuxUserDefaults::setInterfaceLanguages(const std::vector<std::string>& languages) {
    std::lock_guard lock(mutex_);
    if (auto error = writeFileAtomically(languagesFile_, toPrettyJson(Json(languages))))
        log::system("[UserDefaults] Cannot store the interface languages: " + *error);
}

std::optional<std::string> LinuxUserDefaults::stringForKey(const std::string&, const std::string&) {
    return std::nullopt;
}

}  // namespace orvex::linux_desktop

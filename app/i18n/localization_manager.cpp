#include "app/i18n/localization_manager.h"

#include "app/i18n/preferred_languages.h"
#include "base/log.h"
#include "desktop/user_defaults.h"

namespace orvex {

std::string detectLanguageCode(const std::vector<std::string>& preferredLanguages) {
    const std::string first = preferredLanguages.empty() ? "en" : preferredLanguages.front();
    return first.starts_with("ja") ? "ja" : "en";
}

LocalizationOptions localizationOptions(UserDefaults& defaults,
                                        std::filesystem::path localeDirectory) {
    return LocalizationOptions{
        .localeDirectory = std::move(localeDirectory),
        .preferredLanguages = [&defaults] { return defaults.preferredLanguages(); },
        .writeInterfaceLanguages =
            [&defaults](const std::vector<std::string>& languages) {
                defaults.setInterfaceLanguages(languages);
            },
    };
}

LocalizationManager::LocalizationManager(const SettingsManager& settings,
                                         LocalizationOptions options)
    : settings_(settings), options_(std::move(options)) {
    if (!options_.preferredLanguages) {
        options_.preferredLanguages = systemPreferredLanguages;
    }
    const std::string code = resolveLanguage();
    loadLanguage(code);
    if (options_.writeInterfaceLanguages) {
        options_.writeInterfaceLanguages({code});
    }
}

std::string LocalizationManager::currentLang() const {
    std::lock_guard lock(mutex_);
    return currentLang_;
}

void LocalizationManager::loadLanguage(const std::string& code) {
    {
        std::lock_guard lock(mutex_);
        currentLang_ = code;
    }
    std::string error;
    auto loaded = LocaleTable::fromFile(options_.localeDirectory, code, &error);
    if (!loaded) {
        log::console("Failed to load locale: " + code);
    }
    auto table = loaded ? std::make_shared<const LocaleTable>(std::move(*loaded))
                        : std::make_shared<const LocaleTable>();
    {
        std::lock_guard lock(mutex_);
        table_ = std::move(table);
    }
    // Observers redraw from the new table, so they hear of the change once it is in place.
    // A copy lets an observer remove itself while being called.
    const auto observers = observers_;
    for (const auto& [id, observer] : observers) {
        observer(code);
    }
}

std::shared_ptr<const LocaleTable> LocalizationManager::table() const {
    std::lock_guard lock(mutex_);
    return table_;
}

std::string LocalizationManager::text(std::string_view key, const TextParams& params) const {
    return table()->text(key, params);
}

TextLookup LocalizationManager::textLookup() const {
    return [this](const std::string& key) { return text(key); };
}

std::size_t LocalizationManager::addObserver(LanguageObserver observer) {
    const std::size_t id = nextObserverId_++;
    observers_.emplace(id, std::move(observer));
    return id;
}

void LocalizationManager::removeObserver(std::size_t id) {
    observers_.erase(id);
}

std::string LocalizationManager::resolveLanguage(const SettingsManager& settings,
                                                 const std::vector<std::string>& preferredLanguages,
                                                 const std::filesystem::path& localeDirectory) {
    const std::optional<AppSettings> stored = settings.loadStored();
    if (stored && stored->language && *stored->language != "auto") {
        return *stored->language;
    }

    const std::string code = detectLanguageCode(preferredLanguages);
    AppSettings resolved;
    if (stored) {
        resolved.presets = stored->presets;
        resolved.tutorialCompleted = stored->tutorialCompleted;
    } else {
        // No manager exists yet to label the factory presets, so read the detected
        // language's texts directly; a missing file labels them with their keys.
        const auto texts = std::make_shared<const LocaleTable>(
            LocaleTable::fromFile(localeDirectory, code).value_or(LocaleTable()));
        resolved.presets = SettingsManager::defaultPresets(
            [texts](const std::string& key) { return texts->text(key); });
    }
    resolved.language = code;
    settings.save(resolved);
    return code;
}

std::string LocalizationManager::resolveLanguage() const {
    return resolveLanguage(settings_, options_.preferredLanguages(), options_.localeDirectory);
}

}  // namespace orvex

#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "app/i18n/locale_table.h"
#include "app/store/settings_manager.h"

namespace orvex {

class UserDefaults;

// Receives the interface language list (["ja"]) so that texts the desktop itself provides
// follow the language of Orvex.
using InterfaceLanguageWriter = std::function<void(const std::vector<std::string>& languages)>;
using PreferredLanguagesSource = std::function<std::vector<std::string>()>;
// Called on the main thread with the new code after every language load.
using LanguageObserver = std::function<void(const std::string& lang)>;

struct LocalizationOptions {
    std::filesystem::path localeDirectory;
    // The system's preferred languages, read whenever the language is resolved.
    PreferredLanguagesSource preferredLanguages;
    // Optional; nothing is written without it.
    InterfaceLanguageWriter writeInterfaceLanguages;
};

// Options that read the preferred languages from, and write the interface languages to,
// the desktop's user defaults. `defaults` must outlive the manager.
LocalizationOptions localizationOptions(UserDefaults& defaults,
                                        std::filesystem::path localeDirectory);

// The texts of the interface in the current language. Construction, loadLanguage and the
// observers belong to the main thread; text() may be called from any thread.
class LocalizationManager {
  public:
    // Resolves the language from the settings file (saving the detected one when none is
    // stored), loads its table and hands the code to the interface language writer.
    LocalizationManager(const SettingsManager& settings, LocalizationOptions options);
    LocalizationManager(const LocalizationManager&) = delete;
    LocalizationManager& operator=(const LocalizationManager&) = delete;

    std::string currentLang() const;

    // Makes `code` current. A missing or broken locale file leaves an empty table, so
    // every lookup answers its key.
    void loadLanguage(const std::string& code);

    std::string text(std::string_view key, const TextParams& params = {}) const;
    // text() bound to this manager, for the settings manager's factory presets.
    TextLookup textLookup() const;
    // The table in use; it never changes, a language switch installs a new one.
    std::shared_ptr<const LocaleTable> table() const;

    std::size_t addObserver(LanguageObserver observer);
    void removeObserver(std::size_t id);

    const std::filesystem::path& localeDirectory() const { return options_.localeDirectory; }

    // The language to use, from the stored `language` or else the preferred languages.
    // When no usable language is stored, the detected one is saved with the stored presets
    // and tutorial state; with no readable file the factory presets are saved, labelled in
    // the detected language read straight from its locale file. Needs no manager, so it
    // can run before one exists.
    static std::string resolveLanguage(const SettingsManager& settings,
                                       const std::vector<std::string>& preferredLanguages,
                                       const std::filesystem::path& localeDirectory);
    // The same with this manager's settings, preferred languages and locale directory.
    std::string resolveLanguage() const;

  private:
    const SettingsManager& settings_;
    LocalizationOptions options_;

    mutable std::mutex mutex_;  // guards currentLang_ and table_, never held during a lookup
    std::string currentLang_ = "ja";
    std::shared_ptr<const LocaleTable> table_ = std::make_shared<const LocaleTable>();

    std::map<std::size_t, LanguageObserver> observers_;
    std::size_t nextObserverId_ = 1;
};

// "ja" when the most preferred language is Japanese, otherwise "en" (also with none).
std::string detectLanguageCode(const std::vector<std::string>& preferredLanguages);

}  // namespace orvex

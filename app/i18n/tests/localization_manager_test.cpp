#include "app/i18n/localization_manager.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "app/i18n/status_style.h"
#include "base/log.h"
#include "desktop/user_defaults.h"
#include "testing/source_tree.h"
#include "testing/temp_dir.h"

namespace orvex {
namespace {

using Languages = std::vector<std::string>;
using testing::writeText;

// The locale files as committed, so the tests check what ships.
std::filesystem::path shippedLocales() {
    return testing::sourceDir() / "app/i18n/resources/locales";
}

class LocalizationManagerTest : public ::testing::Test {
  protected:
    std::filesystem::path settingsFile() const { return dir_ / "settings.json"; }

    std::unique_ptr<LocalizationManager> makeManager(
        Languages preferred, std::filesystem::path locales = shippedLocales()) {
        return std::make_unique<LocalizationManager>(
            settings_, LocalizationOptions{std::move(locales), [preferred] { return preferred; },
                                           [this](const Languages& languages) {
                                               interfaceLanguages_.push_back(languages);
                                           }});
    }

    AppSettings storedSettings() const {
        const auto stored = settings_.loadStored();
        EXPECT_TRUE(stored) << "no readable settings file";
        return stored.value_or(AppSettings{});
    }

    static std::string localeText(const std::string& code, const std::string& key) {
        return LocaleTable::fromFile(shippedLocales(), code)->text(key);
    }

    // A user's own settings, in the form they take once read back from a file.
    static AppSettings customSettings(std::optional<std::string> language) {
        PresetData preset;
        preset.id = "7";
        preset.destinations = {"gemini-app"};
        FolderItem folder{.id = "f", .label = "Work", .open = false};
        return AppSettings{{PresetItem{folder}, PresetItem{preset}}, true, std::move(language)};
    }

    ScopedLogCapture logs_;
    testing::TempDir dir_;
    SettingsManager settings_{dir_ / "settings.json"};
    std::vector<Languages> interfaceLanguages_;
};

// A first start (no file, or one that cannot be decoded) saves the factory presets labelled
// in the detected language; only a leading lower-case "ja" means Japanese.
TEST_F(LocalizationManagerTest, FirstStartSavesFactoryPresetsInTheDetectedLanguage) {
    const std::vector<std::tuple<Languages, std::optional<std::string>, std::string>> cases{
        {{"ja-JP", "en-US"}, std::nullopt, "ja"},
        {{"ja"}, "{}", "ja"},
        {{"en-US", "ja-JP"}, std::nullopt, "en"},
        {{"fr-FR", "ja-JP"}, "{}", "en"},
        {{}, std::nullopt, "en"},
        {{"Ja-JP"}, std::nullopt, "en"},
        {{"JA"}, std::nullopt, "en"},
    };
    for (const auto& [preferred, existing, lang] : cases) {
        std::filesystem::remove(settingsFile());
        if (existing) {
            writeText(settingsFile(), *existing);
        }
        interfaceLanguages_.clear();
        const auto manager = makeManager(preferred);
        EXPECT_EQ(manager->currentLang(), lang);
        EXPECT_EQ(manager->text("status.standby"), localeText(lang, "status.standby"));
        EXPECT_EQ(interfaceLanguages_, std::vector<Languages>{{lang}});
        const auto stored = storedSettings();
        EXPECT_EQ(stored.language, lang);
        EXPECT_EQ(stored.tutorialCompleted, std::nullopt);
        const auto presets = flattenPresets(stored.presets);
        ASSERT_EQ(presets.size(), 4u);
        EXPECT_EQ(presets[0].fixedPrompt, localeText(lang, "defaultPresets.dictionaryPrompt"));
    }
}

TEST_F(LocalizationManagerTest, StoredAutoOrMissingLanguageIsReplacedKeepingPresetsAndTutorial) {
    for (const auto& stored : {std::optional<std::string>("auto"), std::optional<std::string>()}) {
        ASSERT_TRUE(settings_.save(customSettings(stored)));
        EXPECT_EQ(LocalizationManager::resolveLanguage(settings_, {"ja"}, shippedLocales()), "ja");
        EXPECT_EQ(storedSettings(), customSettings("ja"));
    }
}

// A stored language is used as it is, even one without a locale file, and nothing is written.
TEST_F(LocalizationManagerTest, StoredLanguageIsKeptAndNothingIsWritten) {
    for (const std::string lang : {"en", "de"}) {
        // Not in the written form, so any save would change the bytes.
        const std::string compact = encodeAppSettings(customSettings(lang)).dump();
        writeText(settingsFile(), compact);
        interfaceLanguages_.clear();

        const auto manager = makeManager({"ja-JP"});
        EXPECT_EQ(manager->currentLang(), lang);
        EXPECT_EQ(testing::readText(settingsFile()), compact);
        EXPECT_EQ(interfaceLanguages_, std::vector<Languages>{{lang}});
    }
    EXPECT_EQ(logs_.console().lines(), Languages{"Failed to load locale: de"});
}

TEST_F(LocalizationManagerTest, BrokenLocaleFilesAreReportedAndGiveKeys) {
    testing::TempDir locales;
    writeText(locales / "ja.json", R"({"status": {"standby": "待機中"}})");
    writeText(locales / "en.json", R"(["not", "an", "object"])");
    writeText(locales / "xx.json", R"({"status": )");
    const auto manager = makeManager({"ja"}, locales.path());
    EXPECT_EQ(manager->text("status.standby"), "待機中");
    // The factory presets of a first start come from the same directory.
    EXPECT_EQ(flattenPresets(storedSettings().presets)[0].label, "defaultPresets.dictionary");

    // A code that is a path, not a name, never reaches another JSON file.
    std::filesystem::create_directory(locales / "sub");
    writeText(locales / "sub" / "inner.json", R"({"status": {"standby": "inner"}})");
    const std::string escaping = "../" + locales.path().filename().string() + "/sub/inner";
    for (const std::string code : {"en", "xx", "", "sub/inner", escaping.c_str()}) {
        logs_.console().clear();
        manager->loadLanguage(code);
        EXPECT_EQ(manager->currentLang(), code);
        EXPECT_EQ(logs_.console().lines(), Languages{"Failed to load locale: " + code});
        EXPECT_EQ(manager->text("status.standby"), "status.standby");
    }
}

TEST_F(LocalizationManagerTest, ObserversSeeTheNewTableAfterASwitch) {
    const auto manager = makeManager({"ja"});
    std::vector<std::string> seen;
    const auto id = manager->addObserver([&](const std::string& lang) {
        seen.push_back(lang + ":" + manager->text("status.standby"));
    });

    manager->loadLanguage("en");
    EXPECT_EQ(manager->currentLang(), "en");
    manager->loadLanguage("ja");
    manager->removeObserver(id);
    manager->loadLanguage("en");

    EXPECT_EQ(seen, (Languages{"en:" + localeText("en", "status.standby"),
                               "ja:" + localeText("ja", "status.standby")}));
    // Status colours follow the current language's keyword lists.
    EXPECT_EQ(statusStyle(localeText("en", "status.sent"), false, *manager).statusClass,
              StatusClass::success);
    EXPECT_EQ(statusStyle(localeText("ja", "status.sent"), false, *manager).statusClass,
              StatusClass::neutral);
    // The settings file is not the manager's to change on a plain switch.
    EXPECT_EQ(storedSettings().language, "ja");
}

TEST_F(LocalizationManagerTest, LookupsFromOtherThreadsSeeAWholeTable) {
    const auto manager = makeManager({"ja"});
    const std::set<std::string> valid{localeText("ja", "status.sending"),
                                      localeText("en", "status.sending")};
    std::atomic<bool> stop{false};
    std::atomic<int> invalid{0};
    std::atomic<int> lookups{0};
    std::thread reader([&] {
        while (!stop.load() || lookups.load() < 100) {
            if (!valid.contains(manager->text("status.sending"))) {
                ++invalid;
            }
            ++lookups;
        }
    });
    for (int i = 0; i < 50; ++i) {
        manager->loadLanguage(i % 2 == 0 ? "en" : "ja");
    }
    stop = true;
    reader.join();
    EXPECT_EQ(invalid.load(), 0);
}

class RecordingUserDefaults final : public UserDefaults {
  public:
    std::vector<std::string> preferredLanguages() override { return preferred; }
    void setInterfaceLanguages(const std::vector<std::string>& languages) override {
        written.push_back(languages);
    }
    std::optional<std::string> stringForKey(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    Languages preferred;
    std::vector<Languages> written;
};

TEST_F(LocalizationManagerTest, UserDefaultsSupplyAndReceiveTheLanguage) {
    RecordingUserDefaults defaults;
    defaults.preferred = {"ja-JP"};
    LocalizationManager manager(settings_, localizationOptions(defaults, shippedLocales()));
    EXPECT_EQ(manager.currentLang(), "ja");
    EXPECT_EQ(defaults.written, std::vector<Languages>{{"ja"}});

    // A later resolution asks the system again.
    ASSERT_TRUE(settings_.save(customSettings("auto")));
    defaults.preferred = {"en-US"};
    EXPECT_EQ(manager.resolveLanguage(), "en");
}

}  // namespace
}  // namespace orvex

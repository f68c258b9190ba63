#include "app/store/settings_manager.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <time.h>

#include <algorithm>

#include "testing/temp_dir.h"
#include "base/log.h"

namespace orvex {
namespace {

using testing::readText;
using testing::TempDir;
using testing::writeText;

const char* kStoredFile = R"({"language": "en", "presets": [
    {"type": "folder", "id": "F", "label": "Work", "open": true},
    {"id": "a", "folderId": "F", "label": "One"},
    {"id": "b", "label": "Two", "shortcut": "Alt+B"}], "tutorialCompleted": true})";

std::string bracketed(const std::string& key) {
    return "<" + key + ">";
}

void expectFactoryPresets(const std::vector<PresetItem>& items) {
    ASSERT_EQ(items.size(), 4u);
    const char* ids[] = {"1", "2", "3", "4"};
    for (std::size_t i = 0; i < items.size(); ++i) {
        ASSERT_TRUE(items[i].isPreset());
        EXPECT_EQ(items[i].id(), ids[i]);
    }
}

TEST(SettingsManagerLoad, MissingFileGivesFactoryPresetsAndWritesNothing) {
    TempDir dir;
    ScopedLogCapture logs;
    SettingsManager manager(dir / "orvex/settings.json");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "orvex"));

    AppSettings settings = manager.load();
    expectFactoryPresets(settings.presets);
    EXPECT_FALSE(settings.tutorialCompleted.has_value());
    EXPECT_FALSE(settings.language.has_value());
    EXPECT_FALSE(std::filesystem::exists(dir / "orvex/settings.json"));
    EXPECT_EQ(logs.system().lines(),
              (std::vector<std::string>{
                  "[SettingsManager] Loading from: " + (dir / "orvex/settings.json").string(),
                  "[SettingsManager] File not found, using defaults"}));
}

TEST(SettingsManagerLoad, ReadsStoredFileAndLogsSizeAndCount) {
    TempDir dir;
    writeText(dir / "settings.json", kStoredFile);
    ScopedLogCapture logs;
    SettingsManager manager(dir / "settings.json");

    AppSettings settings = manager.load();
    ASSERT_EQ(settings.presets.size(), 3u);
    EXPECT_EQ(settings.presets[2].preset()->shortcut, "Alt+B");
    EXPECT_EQ(settings.language, "en");
    EXPECT_EQ(settings.tutorialCompleted, true);
    EXPECT_EQ(
        logs.system().lines(),
        (std::vector<std::string>{
            "[SettingsManager] Loading from: " + (dir / "settings.json").string(),
            "[SettingsManager] Read " + std::to_string(std::string(kStoredFile).size()) + " bytes",
            "[SettingsManager] Decoded 3 items successfully"}));
}

TEST(SettingsManagerLoad, UnreadableFilesFallBackToFactoryAndStayInPlace) {
    struct Case {
        const char* name;
        std::function<void(const std::filesystem::path&)> make;
        bool logsRead;
    };
    const Case cases[] = {
        {"empty object", [](auto& p) { writeText(p, "{}"); }, true},
        {"invalid UTF-8", [](auto& p) { writeText(p, "{\"presets\": [{\"label\": \"\xff\"}]}"); },
         true},
        {"folder without open",
         [](auto& p) {
             writeText(p, R"({"presets": [{"type": "folder", "id": "F", "label": "W"}]})");
         },
         true},
        {"huge",
         [](auto& p) {
             writeText(p, "{}");
             std::filesystem::resize_file(p, SettingsManager::kMaxSettingsFileBytes + 1);
         },
         false},
        {"directory", [](auto& p) { std::filesystem::create_directory(p); }, false},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        TempDir dir;
        auto path = dir / "settings.json";
        testCase.make(path);
        auto before = std::filesystem::is_regular_file(path) ? readText(path) : std::string();
        ScopedLogCapture logs;

        AppSettings settings = SettingsManager(path, bracketed).load();
        expectFactoryPresets(settings.presets);
        EXPECT_EQ(settings.presets[0].preset()->label, "<defaultPresets.dictionary>");
        EXPECT_FALSE(settings.language.has_value());
        EXPECT_FALSE(settings.tutorialCompleted.has_value());

        auto lines = logs.system().lines();
        ASSERT_EQ(lines.size(), testCase.logsRead ? 3u : 2u);
        EXPECT_EQ(lines.back().rfind("[SettingsManager] DECODE FAILED: ", 0), 0u) << lines.back();
        EXPECT_GT(lines.back().size(), std::string("[SettingsManager] DECODE FAILED: ").size());
        if (std::filesystem::is_regular_file(path)) {
            EXPECT_EQ(readText(path), before);
        }
    }
}

TEST(SettingsManagerSave, AnUnreadableFileIsKeptBesideItBeforeItIsReplaced) {
    auto keptFiles = [](const TempDir& dir) {
        std::vector<std::filesystem::path> kept;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            if (entry.path().filename().string().rfind("settings.json.unreadable-", 0) == 0) {
                kept.push_back(entry.path());
            }
        }
        std::sort(kept.begin(), kept.end());
        return kept;
    };
    const std::string trailingComma = R"({"presets": [{"id": "mine", "label": "Mine"},]})";
    const std::string huge = std::string(SettingsManager::kMaxSettingsFileBytes + 1, ' ');
    for (const std::string& unreadable : {trailingComma, huge}) {
        TempDir dir;
        auto path = dir / "settings.json";
        writeText(path, unreadable);
        SettingsManager manager(path, bracketed);
        ScopedLogCapture logs;

        // The start-up language step saves what load() fell back to before there is a
        // status line; the notice waits for its handler.
        AppSettings fallback = manager.load();
        ASSERT_TRUE(manager.save(fallback));
        std::vector<SettingsNotice> notices;
        manager.setNoticeHandler([&](const SettingsNotice& n) { notices.push_back(n); });

        auto kept = keptFiles(dir);
        ASSERT_EQ(kept.size(), 1u);
        EXPECT_EQ(readText(kept[0]), unreadable);
        struct stat info {};
        ASSERT_EQ(::stat(kept[0].c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u);
        EXPECT_TRUE(
            logs.system().contains("[SettingsManager] Kept the unreadable settings file "
                                   "as: " +
                                   kept[0].string()));
        ASSERT_EQ(notices.size(), 1u);
        EXPECT_EQ(notices[0].kind, SettingsNotice::Kind::unreadableFileKept);
        EXPECT_EQ(notices[0].keptFile, kept[0]);
        expectFactoryPresets(manager.load().presets);

        // A save after a readable load keeps nothing more.
        ASSERT_TRUE(manager.save(manager.load()));
        EXPECT_EQ(keptFiles(dir).size(), 1u);

        // Unreadable again: a second name (numbered within the same second), the first
        // untouched.
        writeText(path, "{");
        manager.load();
        ASSERT_TRUE(manager.save(fallback));
        kept = keptFiles(dir);
        ASSERT_EQ(kept.size(), 2u);
        EXPECT_EQ(readText(kept[0]), unreadable);
        EXPECT_EQ(readText(kept[1]), "{");
        EXPECT_EQ(notices.size(), 2u);
    }
}

TEST(SettingsManagerSave, AFileTooLargeToReadBackIsNeverWritten) {
    TempDir dir;
    auto path = dir / "settings.json";
    writeText(path, kStoredFile);
    SettingsManager manager(path);
    std::vector<SettingsNotice> notices;
    manager.setNoticeHandler([&](const SettingsNotice& n) { notices.push_back(n); });
    AppSettings big = manager.load();
    big.presets[1].preset()->fixedPrompt = std::string(SettingsManager::kMaxSettingsFileBytes, 'x');
    ScopedLogCapture logs;

    SaveResult saved = manager.save(big);

    EXPECT_FALSE(saved);
    EXPECT_EQ(readText(path), kStoredFile);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].kind, SettingsNotice::Kind::saveTooLarge);
    ASSERT_EQ(logs.console().lines().size(), 1u);
    EXPECT_EQ(logs.console().lines()[0], "Failed to save settings: " + *saved.error);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(SettingsManagerSave, WritesTheFileFormAndLoadsItBack) {
    TempDir dir;
    SettingsManager manager(dir / "settings.json");
    AppSettings settings = manager.load();
    settings.language = "ja";
    ScopedLogCapture logs;

    EXPECT_TRUE(manager.save(settings));
    EXPECT_EQ(readText(dir / "settings.json"), encodeAppSettingsText(settings));
    EXPECT_TRUE(logs.console().lines().empty());

    // Read back, the factory presets' empty destinations have been filled.
    AppSettings back = manager.load();
    EXPECT_EQ(back.language, "ja");
    EXPECT_EQ(back.presets[0].preset()->destinations, std::vector<std::string>{"chatgpt-app"});
    EXPECT_EQ(back.presets[3].preset()->destinations,
              (std::vector<std::string>{"chatgpt-app", "gemini-app", "claude-app"}));
}

// As root nothing is refused for permissions, so the failures come from what stands in
// the way: a directory where the file goes, or a file where its directory goes.
TEST(SettingsManagerSave, BlockedTargetFailsWithOneConsoleLineAndTouchesNothing) {
    TempDir dir;
    std::filesystem::create_directory(dir / "settings.json");
    writeText(dir / "settings.json/keep.txt", "kept");
    writeText(dir / "orvex", "not a directory");

    for (auto target : {dir / "settings.json", dir / "orvex/settings.json"}) {
        SCOPED_TRACE(target.string());
        ScopedLogCapture logs;
        EXPECT_FALSE(SettingsManager(target).save(AppSettings{}));
        ASSERT_EQ(logs.console().lines().size(), 1u);
        EXPECT_EQ(logs.console().lines()[0].rfind("Failed to save settings: ", 0), 0u);
    }
    EXPECT_EQ(readText(dir / "settings.json/keep.txt"), "kept");
    EXPECT_EQ(readText(dir / "orvex"), "not a directory");
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              2);
}

// A write cut short half-way must leave the previous settings file exactly as it was.
TEST(SettingsManagerSave, FailedWriteKeepsThePreviousFile) {
    TempDir dir;
    auto path = dir / "settings.json";
    SettingsManager manager(path);
    ASSERT_TRUE(manager.save(AppSettings{}));
    std::string before = readText(path);

    AppSettings big{manager.defaultPresets(), std::nullopt, std::nullopt};
    big.presets[0].preset()->fixedPrompt = std::string(64 * 1024, 'x');
    ScopedLogCapture logs;

    // Root may write anywhere, so the failure comes from a file-size limit instead.
    auto previousHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit small = previous;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool saved = static_cast<bool>(manager.save(big));
    setrlimit(RLIMIT_FSIZE, &previous);
    signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(saved);
    EXPECT_EQ(readText(path), before);
    ASSERT_EQ(logs.console().lines().size(), 1u);
    EXPECT_EQ(logs.console().lines()[0].rfind("Failed to save settings: ", 0), 0u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
}

// The factory list itself is data; what is checked is where its texts come from.
TEST(SettingsManagerDefaults, FactoryTextsComeFromTheTableGiven) {
    auto items = SettingsManager::defaultPresets(bracketed);
    expectFactoryPresets(items);
    EXPECT_EQ(items[2].preset()->fixedPrompt, "<defaultPresets.captureTranslatePrompt>");
    // Without a text table the keys stand in; the instance uses the table it was given.
    EXPECT_EQ(SettingsManager::defaultPresets({})[1].preset()->label, "defaultPresets.translate");
    TempDir dir;
    SettingsManager manager(dir / "settings.json");
    manager.setFactoryTexts([](const std::string& key) { return "en:" + key; });
    EXPECT_EQ(manager.load().presets[2].preset()->fixedPrompt,
              "en:defaultPresets.captureTranslatePrompt");
}

TEST(ExportFileName, LocalTimeTwoDigitFields) {
    const char* previous = getenv("TZ");
    std::string saved = previous ? previous : "";
    setenv("TZ", "JST-9", 1);
    tzset();
    // 2024-03-05 22:08:09 UTC is 07:08:09 on the 6th in a UTC+9 zone.
    auto when = std::chrono::system_clock::time_point(std::chrono::seconds(1709676489));
    std::string name = proposedExportFileName(when);
    if (previous) {
        setenv("TZ", saved.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
    EXPECT_EQ(name, "orvex-settings-240306.070809.json");
}

}  // namespace
}  // namespace orvex

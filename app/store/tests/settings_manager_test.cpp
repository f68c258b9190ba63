#include "app/store/settings_manager.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <time.h>

#include <algorithm>

#include "base/log.h"
#include "testing/temp_dir.h"

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

long entryCount(const TempDir& dir) {
    return std::distance(std::filesystem::directory_iterator(dir.path()), {});
}

void expectFactoryPresets(const std::vector<PresetItem>& items) {
    ASSERT_EQ(items.size(), 4u);
    const char* ids[] = {"1", "2", "3", "4"};
    for (std::size_t i = 0; i < items.size(); ++i) {
        ASSERT_TRUE(items[i].isPreset());
        EXPECT_EQ(items[i].id(), ids[i]);
    }
}

TEST(SettingsManagerLoad, ReadsTheStoredFileAndLogsWhereItIs) {
    TempDir dir;
    writeText(dir / "settings.json", kStoredFile);
    ScopedLogCapture logs;
    AppSettings settings = SettingsManager(dir / "settings.json").load();
    ASSERT_EQ(settings.presets.size(), 3u);
    EXPECT_EQ(settings.presets[2].preset()->shortcut, "Alt+B");
    EXPECT_EQ(settings.language, "en");
    EXPECT_EQ(settings.tutorialCompleted, true);
    EXPECT_TRUE(logs.system().contains("[SettingsManager] Loading from: " +
                                       (dir / "settings.json").string()));
}

// A missing or unreadable file gives the factory presets, labelled from the text table,
// and is left as it was until the next save.
TEST(SettingsManagerLoad, MissingOrUnreadableFilesFallBackToFactoryAndStayInPlace) {
    struct Case {
        const char* name;
        std::function<void(const std::filesystem::path&)> make;
    };
    const Case cases[] = {
        {"missing", [](auto&) {}},
        {"empty object", [](auto& p) { writeText(p, "{}"); }},
        {"invalid UTF-8", [](auto& p) { writeText(p, "{\"presets\": [{\"label\": \"\xff\"}]}"); }},
        {"folder without open",
         [](auto& p) {
             writeText(p, R"({"presets": [{"type": "folder", "id": "F", "label": "W"}]})");
         }},
        {"huge",
         [](auto& p) {
             writeText(p, "{}");
             std::filesystem::resize_file(p, SettingsManager::kMaxSettingsFileBytes + 1);
         }},
        {"directory", [](auto& p) { std::filesystem::create_directory(p); }},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        TempDir dir;
        auto path = dir / "orvex/settings.json";
        SettingsManager manager(path, bracketed);
        EXPECT_TRUE(std::filesystem::is_directory(dir / "orvex"));
        testCase.make(path);
        auto before = std::filesystem::is_regular_file(path) ? readText(path) : std::string();
        ScopedLogCapture logs;

        AppSettings settings = manager.load();
        expectFactoryPresets(settings.presets);
        EXPECT_EQ(settings.presets[0].preset()->label, "<defaultPresets.dictionary>");
        EXPECT_FALSE(settings.language.has_value());
        EXPECT_FALSE(settings.tutorialCompleted.has_value());
        const bool missing = std::string(testCase.name) == "missing";
        EXPECT_EQ(std::filesystem::exists(path), !missing);
        if (!missing) {
            // Why the file was passed over is what its owner needs to know.
            auto lines = logs.system().lines();
            ASSERT_FALSE(lines.empty());
            EXPECT_TRUE(lines.back().starts_with("[SettingsManager] DECODE FAILED: "));
        }
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
        EXPECT_TRUE(logs.system().contains(
            "[SettingsManager] Kept the unreadable settings file as: " + kept[0].string()));
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
    EXPECT_EQ(entryCount(dir), 1);  // no temporary file is left behind
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
    EXPECT_EQ(logs.console().lines().size(), 1u);
    EXPECT_EQ(entryCount(dir), 1);  // no temporary file is left behind
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

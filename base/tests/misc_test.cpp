#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>

#include "base/app_paths.h"
#include "base/log.h"
#include "base/uuid.h"

namespace orvex {
namespace {

namespace fs = std::filesystem;

TEST(Uuid, CanonicalUpperCaseAndFresh) {
    std::regex canonical("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
    std::set<std::string> seen;
    for (int i = 0; i < 100; ++i) {
        auto id = newUuid();
        EXPECT_TRUE(std::regex_match(id, canonical)) << id;
        seen.insert(id);
    }
    EXPECT_EQ(seen.size(), 100u);
}

TEST(Log, CaptureSeesBothChannelsAndRestoresThePrevious) {
    auto before = log::systemSink();
    {
        ScopedLogCapture capture;
        log::system("[SettingsManager] Loading from: /x");
        log::console("Failed to save settings: boom");
        EXPECT_TRUE(capture.system().contains("Loading from: /x"));
        EXPECT_EQ(capture.console().lines(),
                  (std::vector<std::string>{"Failed to save settings: boom"}));
        EXPECT_FALSE(capture.console().contains("Loading"));
    }
    EXPECT_EQ(log::systemSink(), before);
}

// Environment variables are process-wide; these tests set and restore them.
class AppPathsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        saveVar("HOME", home_);
        saveVar("XDG_CONFIG_HOME", xdg_);
        root_ = fs::temp_directory_path() / ("orvex-paths-" + newUuid());
    }
    void TearDown() override {
        restoreVar("HOME", home_);
        restoreVar("XDG_CONFIG_HOME", xdg_);
        fs::remove_all(root_);
    }
    static void saveVar(const char* name, std::optional<std::string>& slot) {
        if (const char* value = std::getenv(name)) {
            slot = value;
        }
    }
    static void restoreVar(const char* name, const std::optional<std::string>& slot) {
        if (slot) {
            ::setenv(name, slot->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }
    std::optional<std::string> home_, xdg_;
    fs::path root_;
};

TEST_F(AppPathsTest, XdgConfigHomeWinsAndDirectoryIsPrivate) {
    ::setenv("XDG_CONFIG_HOME", (root_ / "cfg").c_str(), 1);
    auto result = resolveAppPaths();
    ASSERT_TRUE(result.paths) << result.error;
    EXPECT_EQ(result.paths->settingsFile(), root_ / "cfg" / "orvex" / "settings.json");
    EXPECT_EQ(result.paths->commandDirectory(), root_ / "cfg" / "orvex" / "commands");
    struct stat info {};
    ASSERT_EQ(::stat(result.paths->orvexDirectory.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST_F(AppPathsTest, RelativeXdgFallsBackToHome) {
    ::setenv("XDG_CONFIG_HOME", "relative/cfg", 1);
    ::setenv("HOME", root_.c_str(), 1);
    auto result = resolveAppPaths();
    ASSERT_TRUE(result.paths) << result.error;
    EXPECT_EQ(result.paths->orvexDirectory, root_ / ".config" / "orvex");
}

TEST_F(AppPathsTest, UnusableDirectoryIsAClearError) {
    fs::create_directories(root_);
    { std::ofstream(root_ / "file") << "x"; }
    ::setenv("XDG_CONFIG_HOME", (root_ / "file").c_str(), 1);
    auto result = resolveAppPaths();
    EXPECT_FALSE(result.paths);
    EXPECT_NE(result.error.find("file"), std::string::npos);
}

}  // namespace
}  // namespace orvex

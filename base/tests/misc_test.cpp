#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <regex>
#include <set>

#include "base/app_paths.h"
#include "base/log.h"
#include "base/uuid.h"
#include "testing/temp_dir.h"

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

// Puts an environment variable back as it was, however the test ends.
class SavedVariable {
  public:
    explicit SavedVariable(std::string name) : name_(std::move(name)) {
        if (const char* value = std::getenv(name_.c_str())) {
            value_ = value;
        }
    }
    ~SavedVariable() {
        value_ ? ::setenv(name_.c_str(), value_->c_str(), 1) : ::unsetenv(name_.c_str());
    }
    SavedVariable(const SavedVariable&) = delete;
    SavedVariable& operator=(const SavedVariable&) = delete;

  private:
    std::string name_;
    std::optional<std::string> value_;
};

TEST(AppPaths, XdgConfigHomeThenHomeAndTheDirectoryIsPrivate) {
    SavedVariable home("HOME"), xdg("XDG_CONFIG_HOME");
    testing::TempDir root;
    testing::writeText(root / "file", "x");
    const struct {
        std::string xdg;
        std::optional<fs::path> directory;  // none: an error naming the way blocked
    } cases[] = {
        {(root / "cfg").string(), root / "cfg/orvex"},
        {"relative/cfg", root / ".config/orvex"},  // a relative one is ignored
        {(root / "file").string(), std::nullopt},
    };
    for (const auto& c : cases) {
        ::setenv("XDG_CONFIG_HOME", c.xdg.c_str(), 1);
        ::setenv("HOME", root.path().c_str(), 1);
        auto result = resolveAppPaths();
        if (!c.directory) {
            EXPECT_FALSE(result.paths) << c.xdg;
            EXPECT_NE(result.error.find("file"), std::string::npos) << result.error;
            continue;
        }
        ASSERT_TRUE(result.paths) << result.error;
        EXPECT_EQ(result.paths->orvexDirectory, *c.directory);
        struct stat info {};
        ASSERT_EQ(::stat(c.directory->c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
    }
}

}  // namespace
}  // namespace orvex

#include "desktop/linux/x11/linux_user_defaults.h"
#include <gtest/gtest.h>  // before the X11 headers, whose macros clash with it

#include <stdlib.h>

#include <filesystem>
#include <fstream>

namespace orvex::linux_desktop {
namespace {

namespace fs = std::filesystem;

class LinuxUserDefaultsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "orvex-defaults-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        setenv("LANGUAGE", "", 1);
        setenv("LC_ALL", "", 1);
        setenv("LC_MESSAGES", "", 1);
        setenv("LANG", "ja_JP.UTF-8", 1);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

TEST_F(LinuxUserDefaultsTest, TheEnvironmentUntilLanguagesAreSetThenThoseWrittenThrough) {
    LinuxUserDefaults defaults(dir_ / "languages.json");
    EXPECT_EQ(defaults.preferredLanguages(), std::vector<std::string>{"ja-JP"});
    defaults.setInterfaceLanguages({"en", "ja"});
    // A second reader (the restarted program) sees them at once.
    LinuxUserDefaults again(dir_ / "languages.json");
    EXPECT_EQ(again.preferredLanguages(), (std::vector<std::string>{"en", "ja"}));
}

TEST_F(LinuxUserDefaultsTest, ADamagedFileFallsBackToTheEnvironment) {
    std::ofstream(dir_ / "languages.json") << "[\"en\", 3";
    LinuxUserDefaults defaults(dir_ / "languages.json");
    EXPECT_EQ(defaults.preferredLanguages(), std::vector<std::string>{"ja-JP"});
    std::ofstream(dir_ / "languages.json") << "[1, \"\"]";
    EXPECT_EQ(defaults.preferredLanguages(), std::vector<std::string>{"ja-JP"});
}

TEST_F(LinuxUserDefaultsTest, OtherApplicationsPreferencesAreNotAvailable) {
    LinuxUserDefaults defaults(dir_ / "languages.json");
    EXPECT_FALSE(defaults.stringForKey("com.apple.finder", "NewWindowTarget"));
}

}  // namespace
}  // namespace orvex::linux_desktop

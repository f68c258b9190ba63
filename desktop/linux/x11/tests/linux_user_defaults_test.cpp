#include "desktop/linux/x11/linux_user_defaults.h"
#include <gtest/gtest.h>  // before the X11 headers, whose macros clash with it

#include <stdlib.h>

#include <optional>

#include "testing/temp_dir.h"

namespace orvex::linux_desktop {
namespace {

// The environment asks for Japanese; the variables are put back afterwards.
class LinuxUserDefaultsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (auto [name, value] : {std::pair{"LANGUAGE", ""},
                                   {"LC_ALL", ""},
                                   {"LC_MESSAGES", ""},
                                   {"LANG", "ja_JP.UTF-8"}}) {
            const char* old = std::getenv(name);
            saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
            setenv(name, value, 1);
        }
    }
    void TearDown() override {
        for (auto& [name, old] : saved_)
            old ? setenv(name, old->c_str(), 1) : unsetenv(name);
    }
    orvex::testing::TempDir dir_;
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
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
    orvex::testing::writeText(dir_ / "languages.json", "[\"en\", 3");
    LinuxUserDefaults defaults(dir_ / "languages.json");
    EXPECT_EQ(defaults.preferredLanguages(), std::vector<std::string>{"ja-JP"});
    orvex::testing::writeText(dir_ / "languages.json", "[1, \"\"]");
    EXPECT_EQ(defaults.preferredLanguages(), std::vector<std::string>{"ja-JP"});
}

}  // namespace
}  // namespace orvex::linux_desktop

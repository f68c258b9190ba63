#include "app/ui/autostart_entry.h"

#include <gtest/gtest.h>

#include "testing/temp_dir.h"

namespace orvex {
namespace {

TEST(AutostartEntry, ExecNamesTheProgramSoTheLauncherReadsItBack) {
    const std::pair<const char*, const char*> cases[] = {
        {"/usr/bin/orvex", "orvex"},
        {"/usr/bin/orvex (deleted)", "orvex"},  // upgraded while running
        {"/opt/orvex/bin/orvex", "/opt/orvex/bin/orvex"},
        {"/home/a b/orvex", R"("/home/a b/orvex")"},
        {"/tmp/100%/orvex", "/tmp/100%%/orvex"},
        // Quoted: $ and the backslash take a backslash, which the value escapes once more.
        {R"(/tmp/$x\y/orvex)", R"("/tmp/\\$x\\\\y/orvex")"},
    };
    for (const auto& [program, exec] : cases) {
        EXPECT_EQ(autostartExec(program), exec) << program;
    }
}

// The menu item and a refused write: app/ui/windows/tests.
TEST(AutostartEntry, OnWritesTheEntryAndOffRemovesIt) {
    testing::TempDir home;
    AutostartEntry entry(home / "config", "/opt/orvex/bin/orvex");
    EXPECT_FALSE(entry.enabled());
    EXPECT_EQ(entry.setEnabled(false), std::nullopt) << "off when off is no error";

    ASSERT_EQ(entry.setEnabled(true), std::nullopt);
    EXPECT_TRUE(entry.enabled());
    const std::string text = testing::readText(entry.file());
    EXPECT_TRUE(text.starts_with("[Desktop Entry]\n")) << text;
    EXPECT_NE(text.find("\nExec=/opt/orvex/bin/orvex\n"), std::string::npos) << text;
    ASSERT_EQ(entry.setEnabled(false), std::nullopt);
    EXPECT_FALSE(entry.enabled());
}

}  // namespace
}  // namespace orvex

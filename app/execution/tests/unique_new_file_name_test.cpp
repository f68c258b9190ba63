// Whole runs cover the numbering and the folder that cannot take a file; this is the planted
// link no scenario can express.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/execution/app_actions.h"
#include "testing/temp_dir.h"

namespace orvex {
namespace {

TEST(UniqueNewFileNameTest, ALinkUnderTheNameIsTakenNotFollowed) {
    orvex::testing::TempDir folder;
    std::filesystem::create_directories(folder / "outside");
    // A dangling link reads as "no file" to an existence check; creating through it would
    // write wherever it points. Exclusive creation treats the name as taken.
    std::filesystem::create_symlink(folder / "outside" / "victim.txt", folder / "NewFile.txt");
    EXPECT_EQ(uniqueNewFileName(folder.path().string(), "txt"), "NewFile2.txt");
    EXPECT_FALSE(std::filesystem::exists(folder / "outside" / "victim.txt"));
}

}  // namespace
}  // namespace orvex

// Whole runs cover the numbering and the folder that cannot take a file; this is the planted
// link no scenario can express.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/execution/app_actions.h"
#include "base/uuid.h"

namespace orvex {
namespace {

namespace fs = std::filesystem;

TEST(UniqueNewFileNameTest, ALinkUnderTheNameIsTakenNotFollowed) {
    const fs::path folder = fs::temp_directory_path() / ("orvex-newfile-test-" + newUuid());
    fs::create_directories(folder / "outside");
    // A dangling link reads as "no file" to an existence check; creating through it would
    // write wherever it points. Exclusive creation treats the name as taken.
    fs::create_symlink(folder / "outside" / "victim.txt", folder / "NewFile.txt");
    EXPECT_EQ(uniqueNewFileName(folder.string(), "txt"), "NewFile2.txt");
    EXPECT_FALSE(fs::exists(folder / "outside" / "victim.txt"));
    fs::remove_all(folder);
}

}  // namespace
}  // namespace orvex

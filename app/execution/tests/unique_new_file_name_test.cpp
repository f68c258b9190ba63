#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/execution/app_actions.h"
#include "base/uuid.h"

namespace orvex {
namespace {

namespace fs = std::filesystem;

class UniqueNewFileNameTest : public ::testing::Test {
  protected:
    UniqueNewFileNameTest()
        : folder_(fs::temp_directory_path() / ("orvex-newfile-test-" + newUuid())) {
        fs::create_directories(folder_);
    }
    ~UniqueNewFileNameTest() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    void put(const std::string& name, const std::string& content) {
        std::ofstream(folder_ / name) << content;
    }
    std::string read(const std::string& name) {
        std::ifstream in(folder_ / name);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path folder_;
};

TEST_F(UniqueNewFileNameTest, NumbersFollowTheNameDirectlyAndStartAtTwo) {
    EXPECT_EQ(uniqueNewFileName(folder_.string(), "md"), "NewFile.md");
    EXPECT_EQ(uniqueNewFileName(folder_.string(), "md"), "NewFile2.md");
    EXPECT_EQ(uniqueNewFileName(folder_.string(), "md"), "NewFile3.md");
    // Another extension has its own sequence.
    EXPECT_EQ(uniqueNewFileName(folder_.string(), "txt"), "NewFile.txt");
    EXPECT_TRUE(fs::is_regular_file(folder_ / "NewFile3.md"));
    EXPECT_EQ(fs::file_size(folder_ / "NewFile3.md"), 0u);
}

TEST_F(UniqueNewFileNameTest, ATakenNameIsNeverOverwritten) {
    put("NewFile.txt", "first");
    put("NewFile2.txt", "second");
    EXPECT_EQ(uniqueNewFileName(folder_.string(), "txt"), "NewFile3.txt");
    EXPECT_EQ(read("NewFile.txt"), "first");
    EXPECT_EQ(read("NewFile2.txt"), "second");
}

TEST_F(UniqueNewFileNameTest, ALinkUnderTheNameIsTakenNotFollowed) {
    // A dangling link reads as "no file" to an existence check; creating through it would
    // write wherever it points. Exclusive creation treats the name as taken.
    fs::path outside = folder_ / "outside";
    fs::create_directory(outside);
    fs::create_symlink(outside / "victim.txt", folder_ / "NewFile.txt");
    EXPECT_EQ(uniqueNewFileName(folder_.string(), "txt"), "NewFile2.txt");
    EXPECT_FALSE(fs::exists(outside / "victim.txt"));
}

TEST_F(UniqueNewFileNameTest, AFolderThatCannotTakeFilesGivesNone) {
    std::string error;
    EXPECT_EQ(uniqueNewFileName((folder_ / "missing").string(), "txt", &error), std::nullopt);
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace orvex

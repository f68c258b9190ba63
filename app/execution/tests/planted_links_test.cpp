// The capture directory and the new file a preset creates, where someone else may have
// planted a link or a file under the name: neither is followed. (Whole runs cover the
// ordinary cases.)
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <iterator>
#include <memory>

#include "app/execution/app_actions.h"
#include "app/execution/capture_file.h"
#include "testing/temp_dir.h"

namespace orvex {
namespace {

namespace fs = std::filesystem;

class CaptureFileTest : public ::testing::Test {
  protected:
    CaptureFileTest() {
        fs::create_directories(root_ / "runtime");
        fs::create_directories(root_ / "tmp");
    }
    static mode_t modeOf(const fs::path& path) {
        struct stat info {};
        EXPECT_EQ(::lstat(path.c_str(), &info), 0);
        return info.st_mode & 0777;
    }
    std::string runtime() const { return root_ / "runtime"; }
    std::string tmp() const { return root_ / "tmp"; }

    orvex::testing::TempDir root_;
    CaptureDirectories directories_;
};

TEST_F(CaptureFileTest, FallsBackToAPerUserDirectoryInTheTemporaryDirectory) {
    auto directory = directories_.privateDirectory(std::nullopt, tmp());
    ASSERT_TRUE(directory);
    EXPECT_EQ(fs::path(*directory), root_ / "tmp" / ("orvex-" + std::to_string(::geteuid())));
    EXPECT_EQ(modeOf(*directory), 0700u);
    // A runtime directory that does not exist is passed over the same way.
    EXPECT_EQ(directories_.privateDirectory((root_ / "missing" / "deeper").string(), tmp()),
              directory);
}

TEST_F(CaptureFileTest, AnExistingDirectoryOpenToOthersIsMadePrivate) {
    fs::path open = root_ / "runtime" / "orvex";
    fs::create_directory(open);
    ::chmod(open.c_str(), 0777);
    ASSERT_TRUE(directories_.privateDirectory(runtime(), tmp()));
    EXPECT_EQ(modeOf(open), 0700u);
}

TEST_F(CaptureFileTest, APlantedLinkOrFileIsNeverUsed) {
    // Someone links the per-user name to a directory of their choosing, and puts a plain
    // file under the runtime name: neither is followed; a fresh private directory is made.
    fs::path elsewhere = root_ / "elsewhere";
    fs::create_directory(elsewhere);
    fs::create_directory_symlink(elsewhere,
                                 root_ / "tmp" / ("orvex-" + std::to_string(::geteuid())));
    orvex::testing::writeText(root_ / "runtime" / "orvex", "not a directory");

    auto directories = std::make_unique<CaptureDirectories>();
    auto directory = directories->privateDirectory(runtime(), tmp());
    ASSERT_TRUE(directory);
    fs::path chosen(*directory);
    EXPECT_EQ(chosen.parent_path(), root_ / "tmp");
    EXPECT_EQ(chosen.filename().string().rfind("orvex-", 0), 0u);
    EXPECT_FALSE(fs::is_symlink(chosen));
    EXPECT_NE(fs::canonical(chosen), fs::canonical(elsewhere));
    EXPECT_EQ(modeOf(chosen), 0700u);

    // Later captures share it, and it goes with its owner.
    orvex::testing::writeText(chosen / "orvex-capture-1.png", "png");
    EXPECT_EQ(directories->privateDirectory(runtime(), tmp()), *directory);
    {
        CaptureDirectories another;
        auto own = another.privateDirectory(std::nullopt, tmp());
        ASSERT_TRUE(own);
        EXPECT_NE(*own, *directory);
        EXPECT_TRUE(fs::is_directory(*own));
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(root_ / "tmp"), fs::directory_iterator()), 2)
        << "the per-user link and the first owner's directory";
    directories.reset();
    EXPECT_FALSE(fs::exists(chosen));
}

TEST_F(CaptureFileTest, NoDirectoryWhenNothingCanBeCreated) {
    std::string error;
    EXPECT_FALSE(
        directories_.privateDirectory(std::nullopt, (root_ / "no" / "such").string(), &error));
    EXPECT_NE(error.find("no/such"), std::string::npos) << error;
}

TEST_F(CaptureFileTest, FileNameCarriesTheMillisecondsSince1970) {
    std::chrono::system_clock::time_point when{std::chrono::milliseconds(1765000000123)};
    EXPECT_EQ(captureFilePath("/run/user/1000/orvex", when),
              "/run/user/1000/orvex/orvex-capture-1765000000123.png");
}

// A dangling link reads as "no file" to an existence check; creating through it would write
// wherever it points. Exclusive creation treats the name as taken.
TEST(UniqueNewFileNameTest, ALinkUnderTheNameIsTakenNotFollowed) {
    orvex::testing::TempDir folder;
    fs::create_directories(folder / "outside");
    fs::create_symlink(folder / "outside" / "victim.txt", folder / "NewFile.txt");
    EXPECT_EQ(uniqueNewFileName(folder.path().string(), "txt"), "NewFile2.txt");
    EXPECT_FALSE(fs::exists(folder / "outside" / "victim.txt"));
}

}  // namespace
}  // namespace orvex

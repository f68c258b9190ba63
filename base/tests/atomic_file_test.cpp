#include "base/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "base/uuid.h"

namespace orvex {
namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("orvex-atomic-" + newUuid());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string read(const fs::path& path) {
        std::ifstream in(path);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::size_t entries() {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {}));
    }
    fs::path dir_;
};

TEST_F(AtomicFileTest, ReplacesContentAndLeavesNoTemporaryFile) {
    auto target = dir_ / "settings.json";
    ASSERT_FALSE(writeFileAtomically(target, "old"));
    ASSERT_FALSE(writeFileAtomically(target, "new", 0600));
    EXPECT_EQ(read(target), "new");
    EXPECT_EQ(entries(), 1u);
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(AtomicFileTest, FailedRenameKeepsTheOldTargetAndCleansUp) {
    // A non-empty directory where the file should go cannot be renamed over, even as root.
    auto target = dir_ / "settings.json";
    fs::create_directories(target / "inner");
    auto error = writeFileAtomically(target, "new");
    ASSERT_TRUE(error);
    EXPECT_NE(error->find("settings.json"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(target / "inner"));
    EXPECT_EQ(entries(), 1u);
}

TEST_F(AtomicFileTest, MissingDirectoryIsAnError) {
    EXPECT_TRUE(writeFileAtomically(dir_ / "absent" / "file.json", "x"));
}

TEST_F(AtomicFileTest, ReadRefusesFilesOverTheLimit) {
    auto path = dir_ / "big";
    ASSERT_FALSE(writeFileDirectly(path, std::string(2000, 'x')));
    std::string error;
    EXPECT_FALSE(readWholeFile(path, &error, 1000));
    EXPECT_NE(error.find("larger than 1000"), std::string::npos);
    auto whole = readWholeFile(path, &error, 2000);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->size(), 2000u);
    EXPECT_FALSE(readWholeFile(dir_ / "none", &error));
}

}  // namespace
}  // namespace orvex

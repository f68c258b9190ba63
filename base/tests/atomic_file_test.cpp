#include "base/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "testing/temp_dir.h"

namespace orvex {
namespace {

namespace fs = std::filesystem;
using testing::readText;
using testing::TempDir;

std::size_t entries(const TempDir& dir) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir.path()), {}));
}

TEST(AtomicFile, ReplacesContentAndLeavesNoTemporaryFile) {
    TempDir dir;
    auto target = dir / "settings.json";
    ASSERT_FALSE(writeFileAtomically(target, "old"));
    ASSERT_FALSE(writeFileAtomically(target, "new", 0600));
    EXPECT_EQ(readText(target), "new");
    EXPECT_EQ(entries(dir), 1u);
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(AtomicFile, FailedRenameKeepsTheOldTargetAndCleansUp) {
    // A non-empty directory where the file should go cannot be renamed over, even as root.
    TempDir dir;
    auto target = dir / "settings.json";
    fs::create_directories(target / "inner");
    auto error = writeFileAtomically(target, "new");
    ASSERT_TRUE(error);
    EXPECT_NE(error->find("settings.json"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(target / "inner"));
    EXPECT_EQ(entries(dir), 1u);
    EXPECT_TRUE(writeFileAtomically(dir / "absent/file.json", "x"));
}

// Only what an interrupted write of this very target leaves is removed; a near miss in
// name, a directory or a link under the name stays.
TEST(AtomicFile, StaleTemporariesOfTheTargetAndNothingElseAreRemoved) {
    TempDir dir;
    const std::string temp = "settings.json.tmp-0123456789abcdef";
    const char* kept[] = {"settings.json", "settings.json.tmp-0123456789abcde",
                          "settings.json.tmp-0123456789abcdefa",
                          "settings.json.tmp-0123456789abcdeg", "other.json.tmp-0123456789abcdef"};
    for (const char* name : kept) {
        testing::writeText(dir / name, "x");
    }
    testing::writeText(dir / temp, "x");
    fs::create_directory(dir / "settings.json.tmp-aaaaaaaaaaaaaaaa");
    fs::create_symlink(dir / "settings.json", dir / "settings.json.tmp-bbbbbbbbbbbbbbbb");
    EXPECT_EQ(removeStaleAtomicTemporaries(dir / "settings.json"), 1u);
    EXPECT_FALSE(fs::exists(dir / temp));
    EXPECT_EQ(entries(dir), std::size(kept) + 2);
}

TEST(AtomicFile, ReadRefusesFilesOverTheLimit) {
    TempDir dir;
    auto path = dir / "big";
    ASSERT_FALSE(writeFileDirectly(path, std::string(2000, 'x')));
    std::string error;
    EXPECT_FALSE(readWholeFile(path, &error, 1000));
    EXPECT_NE(error.find("larger than 1000"), std::string::npos);
    auto whole = readWholeFile(path, &error, 2000);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->size(), 2000u);
    EXPECT_FALSE(readWholeFile(dir / "none", &error));
}

}  // namespace
}  // namespace orvex

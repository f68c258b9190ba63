#include "base/executable_search.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "testing/temp_dir.h"

namespace orvex {
namespace {

namespace fs = std::filesystem;

// A directory, or a file nobody may run, that carries the program's name earlier on the path
// must be passed over for the real program further on.
TEST(ExecutableSearchTest, OnlyAnExecutableRegularFileIsFound) {
    testing::TempDir temp;
    const fs::path& root = temp.path();
    fs::create_directories(root / "dir/tool");
    fs::create_directories(root / "plain");
    fs::create_directories(root / "real");
    std::ofstream(root / "plain/tool") << "#!/bin/sh\n";
    std::ofstream(root / "real/tool") << "#!/bin/sh\n";
    fs::permissions(root / "real/tool", fs::perms::owner_all);
    const std::string dir = (root / "dir").string(), plain = (root / "plain").string();
    const std::string real = (root / "real/tool").string();

    EXPECT_EQ(findExecutable("tool", dir + "::" + plain + ":" + (root / "real").string()), real);
    EXPECT_FALSE(findExecutable("tool", dir + ":" + plain));
    EXPECT_EQ(findExecutable(real, ""), real);
    EXPECT_FALSE(findExecutable((root / "dir/tool").string(), ""));
}

}  // namespace
}  // namespace orvex

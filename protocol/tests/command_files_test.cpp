#include <gtest/gtest.h>

#include <string>

#include "protocol/command_files.h"

namespace orvex {
namespace {

TEST(CommandFiles, NamesCarryTheIdAndSuffix) {
    EXPECT_EQ(commandFileName("A-1"), "A-1.command.json");
    EXPECT_EQ(responseFileName("A-1"), "A-1.response.json");
    EXPECT_EQ(responseFilePath("/d", "A-1"), std::filesystem::path("/d/A-1.response.json"));
    EXPECT_EQ(commandFilePath("/d", "A-1"), std::filesystem::path("/d/A-1.command.json"));
}

TEST(CommandFiles, RecognisesOnlyTheExactSuffixes) {
    EXPECT_TRUE(isCommandFileName("X.command.json"));
    for (const char* other :
         {"X.json", "X.command.json.tmp-1f", "X.command.txt", "X.response.json"}) {
        EXPECT_FALSE(isCommandFileName(other)) << other;
    }
    EXPECT_TRUE(isResponseFileName("X.response.json"));
    EXPECT_FALSE(isResponseFileName("X.command.json"));
}

TEST(CommandFiles, SafeAndUnsafeIds) {
    using namespace std::string_literals;
    for (std::string id : {""s, "a/b"s, "/etc/passwd"s, ".."s, "../x"s, "x..y"s, "a\0b"s,
                           "line\nbreak"s, "tab\t"s, "del\x7f"s}) {
        EXPECT_FALSE(isSafeCommandId(id)) << id;
        EXPECT_TRUE(unsafeCommandIdReason(id)) << id;
        EXPECT_FALSE(responseFilePath("/d", id)) << id;
        EXPECT_FALSE(commandFilePath("/d", id)) << id;
    }
    for (std::string id :
         {"0F4E8C1A-2B3C-4D5E-8F90-A1B2C3D4E5F6"s, "job.7"s, "x y"s, "é-名前"s, ".hidden"s}) {
        EXPECT_TRUE(isSafeCommandId(id)) << id;
        EXPECT_FALSE(unsafeCommandIdReason(id)) << id;
    }
}

}  // namespace
}  // namespace orvex

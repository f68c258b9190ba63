#include <gtest/gtest.h>

#include <string>

#include "protocol/command_files.h"

namespace orvex {
namespace {

// Which names are command files is checked through the running program (app/ui/e2e).
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
        EXPECT_EQ(responseFilePath("/d", id), std::filesystem::path("/d/" + id + ".response.json"));
    }
}

}  // namespace
}  // namespace orvex

#include "app/commands/command_params.h"

#include <gtest/gtest.h>

namespace orvex {
namespace {

// How every parameter lands in a preset is checked through orvex-cli (app/ui/e2e); here,
// the odd spellings.
TEST(CommandParams, OnlyTheExactTextTrueIsTrueAndListsAreNeverTrimmed) {
    EXPECT_TRUE(booleanParam("true"));
    for (const char* other : {"TRUE", "True", "1", "yes", "", " true", "true "}) {
        EXPECT_FALSE(booleanParam(other)) << other;
    }
    using List = std::vector<std::string>;
    EXPECT_EQ(listParam("gemini, terminal"), (List{"gemini", " terminal"}));
    EXPECT_EQ(listParam(",a,"), (List{"a"}));
    EXPECT_EQ(listParam(" "), (List{" "}));
    EXPECT_TRUE(listParam(",,").empty());
}

}  // namespace
}  // namespace orvex

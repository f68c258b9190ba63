#include <gtest/gtest.h>

#include "cli/core/cli_arguments.h"

namespace orvex {
namespace {

using Params = std::map<std::string, std::string>;

TEST(CliArguments, NoArgumentsOrHelpFirst) {
    EXPECT_EQ(parseCliArguments({}).mode, CliMode::missingAction);
    EXPECT_EQ(parseCliArguments({"-h"}).mode, CliMode::help);
    EXPECT_EQ(parseCliArguments({"--help", "x"}).mode, CliMode::help);
    // Only the exact spellings count as help, and only in first place.
    auto later = parseCliArguments({"preset.list", "-h"});
    EXPECT_EQ(later.mode, CliMode::command);
    EXPECT_EQ(later.action, "preset.list");
    EXPECT_EQ(later.params, Params{});
    EXPECT_EQ(parseCliArguments({"-help"}).mode, CliMode::command);
}

TEST(CliArguments, PairsKeysWithTheFollowingArgument) {
    auto parsed = parseCliArguments({"folder.rename", "--id", "1", "--name", "Work", "--id", "2"});
    EXPECT_EQ(parsed.action, "folder.rename");
    EXPECT_EQ(parsed.params, (Params{{"id", "2"}, {"name", "Work"}}));

    // A value may itself start with "--"; the argument after it is then a stray word.
    EXPECT_EQ(parseCliArguments({"folder.rename", "--name", "--id", "5"}).params,
              (Params{{"name", "--id"}}));
    // Numbers stay text.
    EXPECT_EQ(parseCliArguments({"a", "--count", "42"}).params, (Params{{"count", "42"}}));
}

TEST(CliArguments, SkipsStrayWordsAndTrailingKeys) {
    EXPECT_EQ(parseCliArguments({"preset.get", "--id"}).params, Params{});
    EXPECT_EQ(parseCliArguments({"a", "word", "--k", "v", "-x", "--last"}).params,
              (Params{{"k", "v"}}));
}

TEST(CliArguments, KeysAreTakenVerbatim) {
    EXPECT_EQ(parseCliArguments({"a", "--label=Work", "next"}).params,
              (Params{{"label=Work", "next"}}));
    EXPECT_EQ(parseCliArguments({"a", "--", "v"}).params, (Params{{"", "v"}}));
    EXPECT_EQ(parseCliArguments({"a", "--Label", "x", "--label", "y"}).params,
              (Params{{"Label", "x"}, {"label", "y"}}));
    EXPECT_EQ(parseCliArguments({"a", "--label", ""}).params, (Params{{"label", ""}}));
}

TEST(CliArguments, ActionIsPassedThroughUnchecked) {
    EXPECT_EQ(parseCliArguments({"Preset.List"}).action, "Preset.List");
    EXPECT_EQ(parseCliArguments({"--id", "3"}).action, "--id");
    EXPECT_EQ(parseCliArguments({"--id", "3"}).params, Params{});
}

}  // namespace
}  // namespace orvex

#include <gtest/gtest.h>

#include "cli/core/cli_arguments.h"

namespace orvex {
namespace {

using Params = std::map<std::string, std::string>;

TEST(CliArguments, ParsesModeActionAndKeyValuePairs) {
    const struct {
        std::vector<std::string> arguments;
        CliMode mode;
        std::string action;
        Params params;
    } cases[] = {
        {{}, CliMode::missingAction, "", {}},
        {{"-h"}, CliMode::help, "", {}},
        {{"--help", "x"}, CliMode::help, "", {}},
        // Only the exact spellings count as help, and only in first place.
        {{"preset.list", "-h"}, CliMode::command, "preset.list", {}},
        {{"-help"}, CliMode::command, "-help", {}},
        // The last of a repeated key wins; numbers stay text.
        {{"folder.rename", "--id", "1", "--name", "Work", "--id", "2"},
         CliMode::command,
         "folder.rename",
         {{"id", "2"}, {"name", "Work"}}},
        {{"a", "--count", "42"}, CliMode::command, "a", {{"count", "42"}}},
        // A value may itself start with "--"; the argument after it is then a stray word.
        {{"r", "--name", "--id", "5"}, CliMode::command, "r", {{"name", "--id"}}},
        // Stray words and a trailing key are skipped.
        {{"preset.get", "--id"}, CliMode::command, "preset.get", {}},
        {{"a", "word", "--k", "v", "-x", "--last"}, CliMode::command, "a", {{"k", "v"}}},
        // Keys are taken verbatim.
        {{"a", "--label=Work", "next"}, CliMode::command, "a", {{"label=Work", "next"}}},
        {{"a", "--", "v"}, CliMode::command, "a", {{"", "v"}}},
        {{"a", "--Label", "x", "--label", "y"},
         CliMode::command,
         "a",
         {{"Label", "x"}, {"label", "y"}}},
        {{"a", "--label", ""}, CliMode::command, "a", {{"label", ""}}},
        // The action is passed through unchecked.
        {{"Preset.List"}, CliMode::command, "Preset.List", {}},
        {{"--id", "3"}, CliMode::command, "--id", {}},
    };
    for (const auto& c : cases) {
        const auto parsed = parseCliArguments(c.arguments);
        const std::string trace = c.arguments.empty() ? "(none)" : c.arguments.back();
        EXPECT_EQ(parsed.mode, c.mode) << trace;
        if (c.mode == CliMode::command) {
            EXPECT_EQ(parsed.action, c.action) << trace;
            EXPECT_EQ(parsed.params, c.params) << trace;
        }
    }
}

}  // namespace
}  // namespace orvex

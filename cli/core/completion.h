#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "cli/core/cli_runner.h"

namespace orvex {

// "orvex-cli --complete WORD..." serves the bash, zsh and fish completions alike, so they
// stay a few lines each and the actions, keys and values are known in one place.
// `words` are the command line after the program name up to the word being completed
// (the last, possibly empty). Prints the candidates that start with it, one a line, as
// "CANDIDATE" or "CANDIDATE<tab>DESCRIPTION". Preset and folder identifiers come from the
// running Orvex; when none runs nothing is printed and nothing is waited for.
// Returns 0, or kCompleteFileNames when the word is a file name the shell should complete.
inline constexpr int kCompleteFileNames = 3;
int printCompletions(const std::vector<std::string>& words, CliEnvironment& environment);

// Whether an Orvex holds the instance lock of `orvexDirectory`, asked without waiting.
bool orvexRunsFor(const std::filesystem::path& orvexDirectory);

}  // namespace orvex

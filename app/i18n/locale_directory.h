#pragma once

#include <filesystem>
#include <optional>

namespace orvex {

// Where the locale files of a built or installed program live: "resources/locales" beside
// the running executable (a build tree), else "../share/orvex/locales" from it (an
// installed prefix). `override` replaces the lookup (tests, unusual installs).
std::filesystem::path localeDirectory(
    const std::optional<std::filesystem::path>& override = std::nullopt);

// The directory of the running executable, from /proc/self/exe; empty if it cannot be read.
std::filesystem::path executableDirectory();

}  // namespace orvex

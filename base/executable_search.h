#pragma once

#include <optional>
#include <string>

namespace orvex {

// The first executable regular file called `program` in the directories of `searchPath`
// (a PATH value; empty entries are skipped). A name with a slash is taken as a path of its
// own. Nothing when there is none.
std::optional<std::string> findExecutable(const std::string& program,
                                          const std::string& searchPath);

// This process's PATH, or the usual directories when it has none.
std::string executableSearchPath();

}  // namespace orvex

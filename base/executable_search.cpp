#include "base/executable_search.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <system_error>

namespace orvex {
namespace {

bool isExecutableFile(const std::filesystem::path& file) {
    std::error_code error;
    return std::filesystem::is_regular_file(file, error) && access(file.c_str(), X_OK) == 0;
}

}  // namespace

std::optional<std::string> findExecutable(const std::string& program,
                                          const std::string& searchPath) {
    if (program.find('/') != std::string::npos) {
        return isExecutableFile(program) ? std::optional<std::string>(program) : std::nullopt;
    }
    std::istringstream directories(searchPath);
    std::string directory;
    while (std::getline(directories, directory, ':')) {
        if (directory.empty()) {
            continue;
        }
        std::filesystem::path candidate = std::filesystem::path(directory) / program;
        if (isExecutableFile(candidate)) {
            return candidate.string();
        }
    }
    return std::nullopt;
}

std::string executableSearchPath() {
    const char* path = std::getenv("PATH");
    return path ? path : "/usr/local/bin:/usr/bin:/bin";
}

}  // namespace orvex

#include "app/i18n/locale_directory.h"

#include <system_error>

namespace orvex {

std::filesystem::path executableDirectory() {
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return {};
    }
    return executable.parent_path();
}

namespace {

// The build tree keeps a program's data in resources/ beside it; an installed prefix keeps
// it in share/orvex/ beside bin/.
std::filesystem::path dataDirectory(const std::filesystem::path& programDirectory,
                                    const std::filesystem::path& name) {
    const auto beside = programDirectory / "resources" / name;
    std::error_code error;
    if (std::filesystem::is_directory(beside, error)) {
        return beside;
    }
    return (programDirectory.parent_path() / "share" / "orvex" / name).lexically_normal();
}

}  // namespace

std::filesystem::path localeDirectory(const std::optional<std::filesystem::path>& override) {
    if (override) {
        return *override;
    }
    return dataDirectory(executableDirectory(), "locales");
}

}  // namespace orvex

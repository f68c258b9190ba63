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

std::filesystem::path localeDirectory(const std::optional<std::filesystem::path>& override) {
    if (override) {
        return *override;
    }
    return executableDirectory() / "resources" / "locales";
}

}  // namespace orvex

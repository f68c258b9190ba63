#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace orvex::i18n_test {

// A fresh directory under the system temporary directory, removed with everything in it.
class ScratchDir {
  public:
    ScratchDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "orvex-i18n-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

inline void writeText(const std::filesystem::path& path, std::string_view text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// The locale files as committed, so tests check what ships.
inline std::filesystem::path sourceLocaleDirectory() {
    if (const char* source = std::getenv("ORVEX_SOURCE_DIR")) {
        return std::filesystem::path(source) / "app" / "i18n" / "resources" / "locales";
    }
    return std::filesystem::path(__FILE__).parent_path().parent_path() / "resources" / "locales";
}

}  // namespace orvex::i18n_test

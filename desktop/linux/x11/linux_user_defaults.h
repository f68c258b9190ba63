#pragma once

#include <filesystem>
#include <mutex>

#include "desktop/user_defaults.h"

namespace orvex::linux_desktop {

// Preferences on Linux. The preferred languages are those this application was told to
// use (kept in a small JSON file, as the platform's own setting for this application
// would be), else the locale environment (LANGUAGE, LC_ALL, LC_MESSAGES, LANG). Other
// applications keep no preferences this system can read, so `stringForKey` has none.
class LinuxUserDefaults : public UserDefaults {
  public:
    explicit LinuxUserDefaults(std::filesystem::path languagesFile);

    std::vector<std::string> preferredLanguages() override;
    void setInterfaceLanguages(const std::vector<std::string>& languages) override;
    std::optional<std::string> stringForKey(const std::string& suite,
                                            const std::string& key) override;

  private:
    std::filesystem::path languagesFile_;
    std::mutex mutex_;
};

}  // namespace orvex::linux_desktop

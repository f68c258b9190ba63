#pragma once

#include "desktop/user_defaults.h"

namespace orvex {

class SimDesktop;

class SimUserDefaults final : public UserDefaults {
  public:
    explicit SimUserDefaults(SimDesktop& desktop) : desktop_(desktop) {}

    std::vector<std::string> preferredLanguages() override;
    // Stored as the own application's "AppleLanguages" (comma-joined) and journaled.
    void setInterfaceLanguages(const std::vector<std::string>& languages) override;
    std::optional<std::string> stringForKey(const std::string& suite,
                                            const std::string& key) override;

  private:
    SimDesktop& desktop_;
};

}  // namespace orvex

#pragma once

#include <optional>
#include <string>
#include <vector>

namespace orvex {

// Preferences of the user and of other applications. Every method may be called from any
// thread.
class UserDefaults {
  public:
    virtual ~UserDefaults() = default;
    // The user's preferred languages, most preferred first ("ja-JP", "en"); may be empty.
    virtual std::vector<std::string> preferredLanguages() = 0;
    // Stores the languages this application's own platform texts use ("AppleLanguages"),
    // written through at once.
    virtual void setInterfaceLanguages(const std::vector<std::string>& languages) = 0;
    // A string preference of another application, e.g. suite "com.apple.finder", key
    // "NewWindowTarget"; none when absent or not a string.
    virtual std::optional<std::string> stringForKey(const std::string& suite,
                                                    const std::string& key) = 0;
};

}  // namespace orvex

#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/store/preset_model.h"
#include "base/main_queue.h"

namespace orvex {

// Application notification names.
namespace notifications {
inline constexpr const char* executePreset = "executePreset";
inline constexpr const char* showMainWindow = "showMainWindow";
inline constexpr const char* hideMainWindow = "hideMainWindow";
inline constexpr const char* toggleAlwaysOnTop = "toggleAlwaysOnTop";
inline constexpr const char* openHelp = "openHelp";
inline constexpr const char* openSettings = "openSettings";
inline constexpr const char* closeSettings = "closeSettings";
inline constexpr const char* editPresetById = "editPresetById";
inline constexpr const char* startTutorial = "startTutorial";
inline constexpr const char* tutorialCompleted = "tutorialCompleted";
}  // namespace notifications

struct AppNotification {
    std::string name;
    std::optional<PresetData> preset;  // the one user-information key, "preset"
};

// In-process notification centre. Posting is allowed from any thread; observers always
// run on the main queue, in posting order.
class NotificationCenter {
  public:
    using Observer = std::function<void(const AppNotification&)>;
    using Token = std::uint64_t;

    explicit NotificationCenter(MainQueue& mainQueue);

    Token addObserver(const std::string& name, Observer observer);
    void removeObserver(Token token);
    void post(std::string name, std::optional<PresetData> preset = std::nullopt);

  private:
    void deliver(const AppNotification& notification);

    MainQueue& mainQueue_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    std::mutex mutex_;
    std::map<Token, std::pair<std::string, Observer>> observers_;
    Token nextToken_ = 1;
};

}  // namespace orvex

#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "app/notifications/notification_center.h"
#include "app/store/preset_model.h"
#include "base/main_queue.h"
#include "desktop/hot_keys.h"

namespace orvex {

// Owns every global hot key of the application. Each registerAll drops all registrations and
// registers the given presets afresh; a fired hot key posts "executePreset" with the preset as
// it was at registration. Main thread only.
class ShortcutManager {
  public:
    ShortcutManager(HotKeys& hotKeys, MainQueue& mainQueue, NotificationCenter& notifications);
    ~ShortcutManager();
    ShortcutManager(const ShortcutManager&) = delete;
    ShortcutManager& operator=(const ShortcutManager&) = delete;

    // Presets with an empty or unreadable shortcut are skipped silently; ones the platform
    // refuses are reported on standard output and left unregistered.
    void registerAll(const std::vector<PresetData>& presets);
    void unregisterAll();

    // The hot-key backend's callback.
    void hotKeyFired(std::uint32_t id);

    // Ids of the registered hot keys, in registration order.
    const std::vector<std::uint32_t>& hotKeyRefs() const { return hotKeyRefs_; }
    const std::map<std::uint32_t, PresetData>& registeredPresets() const {
        return registeredPresets_;
    }
    std::uint32_t nextId() const { return nextId_; }

  private:
    HotKeys& hotKeys_;
    MainQueue& mainQueue_;
    NotificationCenter& notifications_;
    std::vector<std::uint32_t> hotKeyRefs_;
    std::map<std::uint32_t, PresetData> registeredPresets_;
    std::uint32_t nextId_ = 1;
    // Deferred posts hold this weakly so none runs after the manager is gone.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace orvex

#include "app/shortcuts/shortcut_manager.h"

#include <string>

#include "app/shortcuts/shortcut_strings.h"
#include "base/log.h"

namespace orvex {

ShortcutManager::ShortcutManager(HotKeys& hotKeys, MainQueue& mainQueue,
                                 NotificationCenter& notifications)
    : hotKeys_(hotKeys), mainQueue_(mainQueue), notifications_(notifications) {
    hotKeys_.setHandler([this](std::uint32_t id) { hotKeyFired(id); });
}

ShortcutManager::~ShortcutManager() {
    unregisterAll();
    hotKeys_.setHandler(nullptr);
}

void ShortcutManager::unregisterAll() {
    for (std::uint32_t id : hotKeyRefs_) {
        hotKeys_.unregisterHotKey(id);
    }
    hotKeyRefs_.clear();
    registeredPresets_.clear();
    nextId_ = 1;
}

void ShortcutManager::registerAll(const std::vector<PresetData>& presets) {
    unregisterAll();
    for (const PresetData& preset : presets) {
        if (preset.shortcut.empty()) {
            continue;
        }
        auto parsed = parseShortcut(preset.shortcut);
        if (!parsed) {
            continue;
        }
        const std::int32_t status =
            hotKeys_.registerHotKey(parsed->keyCode, parsed->modifiers, nextId_);
        if (status != HotKeys::kSuccess) {
            log::console("Failed to register shortcut: " + preset.shortcut +
                         " (status: " + std::to_string(status) + ")");
            continue;
        }
        hotKeyRefs_.push_back(nextId_);
        registeredPresets_.emplace(nextId_, preset);
        ++nextId_;
    }
}

void ShortcutManager::hotKeyFired(std::uint32_t id) {
    log::system("[ShortcutManager] HotKey FIRED: id=" + std::to_string(id));
    auto found = registeredPresets_.find(id);
    if (found == registeredPresets_.end()) {
        log::system("[ShortcutManager] No preset for id=" + std::to_string(id));
        return;
    }
    PresetData preset = found->second;
    log::system("[ShortcutManager] Posting executePreset for: " + preset.label);
    // The backend's callback returns before the preset starts running.
    std::weak_ptr<bool> alive = alive_;
    mainQueue_.post([this, alive, preset = std::move(preset)]() mutable {
        if (!alive.lock()) {
            return;
        }
        log::system("[ShortcutManager] main.async executing for: " + preset.label);
        notifications_.post(notifications::executePreset, std::move(preset));
    });
}

}  // namespace orvex

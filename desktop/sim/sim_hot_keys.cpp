#include "desktop/sim/sim_hot_keys.h"

#include "desktop/sim/sim_desktop.h"
#include "desktop/sim/sim_state.h"

namespace orvex {

std::int32_t SimHotKeys::registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                        std::uint32_t id) {
    std::lock_guard lock(desktop_.mutex_);
    SimState& state = *desktop_.state_;
    const std::pair key{keyCode, modifiers};
    bool taken = state.reservedHotKeys.count(key) > 0;
    for (const auto& [otherId, otherKey] : state.hotKeys) {
        if (otherId != id && otherKey == key)
            taken = true;
    }
    Json entry = {{"id", id}, {"keyCode", keyCode}, {"modifiers", modifiers}};
    if (taken) {
        entry["status"] = kHotKeyExists;
        state.record("hotKeyRefused", entry);
        return kHotKeyExists;
    }
    state.hotKeys[id] = key;
    state.record("hotKeyRegistered", entry);
    return kSuccess;
}

void SimHotKeys::unregisterHotKey(std::uint32_t id) {
    std::lock_guard lock(desktop_.mutex_);
    if (desktop_.state_->hotKeys.erase(id) > 0) {
        desktop_.state_->record("hotKeyUnregistered", {{"id", id}});
    }
}

void SimHotKeys::setHandler(Handler handler) {
    std::lock_guard lock(desktop_.mutex_);
    desktop_.state_->hotKeyHandler = std::move(handler);
}

}  // namespace orvex

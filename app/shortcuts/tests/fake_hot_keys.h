#pragma once

#include <map>
#include <utility>

#include "desktop/hot_keys.h"

namespace orvex {

// Stands in for the platform: records registrations, refuses a key and modifier pair that
// is already held (as the platform does for a duplicate), and lets a test press a hot key.
class FakeHotKeys final : public HotKeys {
  public:
    static constexpr std::int32_t kAlreadyRegistered = -9878;

    struct Registration {
        std::uint32_t keyCode;
        std::uint32_t modifiers;
        bool operator==(const Registration&) const = default;
    };

    std::int32_t registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                std::uint32_t id) override {
        for (const auto& [heldId, held] : registered) {
            if (held == Registration{keyCode, modifiers}) {
                return kAlreadyRegistered;
            }
        }
        registered[id] = Registration{keyCode, modifiers};
        return kSuccess;
    }

    void unregisterHotKey(std::uint32_t id) override { registered.erase(id); }

    void setHandler(Handler newHandler) override { handler = std::move(newHandler); }

    // Presses a key combination; nothing happens unless a hot key holds it.
    void press(std::uint32_t keyCode, std::uint32_t modifiers) {
        for (const auto& [id, held] : registered) {
            if (held == Registration{keyCode, modifiers} && handler) {
                handler(id);
                return;
            }
        }
    }

    // Delivers an id directly, as a backend would for a stale or foreign event.
    void fire(std::uint32_t id) {
        if (handler) {
            handler(id);
        }
    }

    std::map<std::uint32_t, Registration> registered;
    Handler handler;
};

}  // namespace orvex

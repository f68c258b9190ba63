#pragma once

#include <cstdint>
#include <functional>

namespace orvex {

// System-wide hot keys. Key codes and modifier masks are those of the shortcut tables
// (macOS virtual key codes, Carbon masks); each backend maps them to its own keys.
class HotKeys {
  public:
    using Handler = std::function<void(std::uint32_t id)>;
    static constexpr std::int32_t kSuccess = 0;

    virtual ~HotKeys() = default;
    // Registers one hot key under `id`; returns kSuccess or the platform's failure status.
    virtual std::int32_t registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                        std::uint32_t id) = 0;
    virtual void unregisterHotKey(std::uint32_t id) = 0;
    // The handler is called on the main queue with the id of the hot key pressed.
    virtual void setHandler(Handler handler) = 0;
};

}  // namespace orvex

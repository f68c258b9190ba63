#pragma once

#include "desktop/hot_keys.h"

namespace orvex {

class SimDesktop;

// Global shortcuts of the model. A key combination already taken (by another id, or
// reserved by another application) is refused with the status a real desktop gives.
class SimHotKeys final : public HotKeys {
  public:
    static constexpr std::int32_t kHotKeyExists = -9878;

    explicit SimHotKeys(SimDesktop& desktop) : desktop_(desktop) {}

    std::int32_t registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                std::uint32_t id) override;
    void unregisterHotKey(std::uint32_t id) override;
    void setHandler(Handler handler) override;

  private:
    SimDesktop& desktop_;
};

}  // namespace orvex

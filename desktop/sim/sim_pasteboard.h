#pragma once

#include "desktop/pasteboard.h"

namespace orvex {

class SimDesktop;

class SimPasteboard final : public Pasteboard {
  public:
    explicit SimPasteboard(SimDesktop& desktop) : desktop_(desktop) {}

    void clearContents() override;
    bool writeString(const std::string& text) override;
    // Accepts well-formed PNG data only.
    bool writeImagePNG(const std::vector<std::uint8_t>& png) override;
    bool canReadImage(const std::vector<std::uint8_t>& data) override;
    std::optional<std::string> readString() override;

  private:
    SimDesktop& desktop_;
};

}  // namespace orvex

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvex {

// The general pasteboard (clipboard), shared with the user and every other application.
// Every method may be called from any thread.
class Pasteboard {
  public:
    virtual ~Pasteboard() = default;
    // Removes every item.
    virtual void clearContents() = 0;
    // Puts plain text on the pasteboard, beside whatever it holds; true when written.
    virtual bool writeString(const std::string& text) = 0;
    // Puts an image (PNG bytes) on the pasteboard; false when the bytes are not an image.
    virtual bool writeImagePNG(const std::vector<std::uint8_t>& png) = 0;
    // Whether `data` can be read as an image (checked before the pasteboard is touched).
    virtual bool canReadImage(const std::vector<std::uint8_t>& data) = 0;
    // The plain text on the pasteboard; none when it holds no text.
    virtual std::optional<std::string> readString() = 0;
};

}  // namespace orvex

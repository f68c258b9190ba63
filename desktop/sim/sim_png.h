#pragma once

// Small real PNG files: what the simulated capture writes and what the pasteboard accepts
// as an image.

#include <cstdint>
#include <optional>
#include <vector>

namespace orvex {

struct PngSize {
    int width = 0;
    int height = 0;
};

// An opaque RGB image of the given size (a two-colour diagonal pattern, so it is not
// blank), stored uncompressed. Sizes are clamped to 1..4096.
std::vector<std::uint8_t> encodeSimPng(int width, int height);

// The image size when `data` is a well-formed PNG: signature, a valid IHDR first, every
// chunk's CRC correct, and an IEND. None otherwise.
std::optional<PngSize> readPngSize(const std::vector<std::uint8_t>& data);

}  // namespace orvex

#include "desktop/sim/sim_png.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace orvex {
namespace {

std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void putBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back((value >> shift) & 0xFF);
}

std::uint32_t getBigEndian(const std::uint8_t* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           std::uint32_t(p[3]);
}

void putChunk(std::vector<std::uint8_t>& out, std::string_view type,
              const std::vector<std::uint8_t>& data) {
    putBigEndian(out, static_cast<std::uint32_t>(data.size()));
    std::size_t typeStart = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    putBigEndian(out, crc32(out.data() + typeStart, out.size() - typeStart));
}

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

}  // namespace

std::vector<std::uint8_t> encodeSimPng(int width, int height) {
    width = std::clamp(width, 1, 4096);
    height = std::clamp(height, 1, 4096);

    std::vector<std::uint8_t> raw;
    raw.reserve(static_cast<std::size_t>(height) * (1 + 3 * width));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // filter: none
        for (int x = 0; x < width; ++x) {
            bool light = ((x + y) / 8) % 2 == 0;
            raw.push_back(light ? 0xE8 : 0x30);
            raw.push_back(light ? 0xEE : 0x60);
            raw.push_back(light ? 0xF4 : 0x90);
        }
    }

    // zlib stream of stored (uncompressed) deflate blocks.
    std::vector<std::uint8_t> zlib = {0x78, 0x01};
    std::size_t offset = 0;
    do {
        std::size_t blockSize = std::min<std::size_t>(raw.size() - offset, 65535);
        bool last = offset + blockSize == raw.size();
        zlib.push_back(last ? 1 : 0);
        zlib.push_back(blockSize & 0xFF);
        zlib.push_back((blockSize >> 8) & 0xFF);
        zlib.push_back(~blockSize & 0xFF);
        zlib.push_back((~blockSize >> 8) & 0xFF);
        zlib.insert(zlib.end(), raw.begin() + offset, raw.begin() + offset + blockSize);
        offset += blockSize;
    } while (offset < raw.size());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    putBigEndian(zlib, (b << 16) | a);

    std::vector<std::uint8_t> png(kSignature.begin(), kSignature.end());
    std::vector<std::uint8_t> header;
    putBigEndian(header, static_cast<std::uint32_t>(width));
    putBigEndian(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, deflate, no filter, no interlace
    putChunk(png, "IHDR", header);
    putChunk(png, "IDAT", zlib);
    putChunk(png, "IEND", {});
    return png;
}

std::optional<PngSize> readPngSize(const std::vector<std::uint8_t>& data) {
    if (data.size() < kSignature.size() ||
        !std::equal(kSignature.begin(), kSignature.end(), data.begin())) {
        return std::nullopt;
    }
    std::optional<PngSize> size;
    bool sawData = false;
    std::size_t offset = kSignature.size();
    while (offset + 12 <= data.size()) {
        std::uint32_t length = getBigEndian(&data[offset]);
        if (length > data.size() - offset - 12)
            return std::nullopt;
        const std::uint8_t* type = &data[offset + 4];
        const std::uint8_t* body = type + 4;
        if (getBigEndian(body + length) != crc32(type, length + 4))
            return std::nullopt;
        std::string_view name(reinterpret_cast<const char*>(type), 4);
        if (!size) {
            if (name != "IHDR" || length != 13)
                return std::nullopt;
            PngSize s{static_cast<int>(getBigEndian(body)),
                      static_cast<int>(getBigEndian(body + 4))};
            if (s.width <= 0 || s.height <= 0)
                return std::nullopt;
            size = s;
        } else if (name == "IDAT") {
            sawData = true;
        } else if (name == "IEND") {
            return sawData ? size : std::nullopt;
        }
        offset += 12 + length;
    }
    return std::nullopt;
}

}  // namespace orvex

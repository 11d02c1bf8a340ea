// The packed device-independent bitmap: the one in-memory form of every picture read
// or written. Rows run bottom-up, each padded to a multiple of 4 bytes; 1, 4 and 8 bits
// per pixel index the palette, 16 bits are 5-5-5 blue-low words, 24 bits are
// blue-green-red bytes (the drawing surface's own layout).
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "zov/surface.h"

namespace imagefile {

using Bytes = std::vector<uint8_t>;
using ByteSpan = std::span<const uint8_t>;

struct Colour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    bool operator==(const Colour&) const = default;
};

struct Dib {
    int width = 0;
    int height = 0;
    int bits = 24;
    std::vector<Colour> palette;
    Bytes pixels;

    static std::size_t stride_for(int width, int bits) {
        return (std::size_t(width) * std::size_t(bits) + 31) / 32 * 4;
    }
    std::size_t stride() const { return stride_for(width, bits); }
    // Row y counted from the top of the picture.
    uint8_t* row(int y) { return pixels.data() + std::size_t(height - 1 - y) * stride(); }
    const uint8_t* row(int y) const { return pixels.data() + std::size_t(height - 1 - y) * stride(); }

    // A zeroed bitmap, or none when the size is 0, past the pixel limit, or memory is short.
    static std::optional<Dib> make(int64_t width, int64_t height, int bits);
};

// The palette index of pixel x in a row of 1, 4 or 8 bits (most significant bits first).
inline unsigned index_at(const uint8_t* row, int x, int bits) {
    switch (bits) {
    case 1: return row[x >> 3] >> (7 - (x & 7)) & 1;
    case 4: return row[x >> 1] >> ((x & 1) ? 0 : 4) & 15;
    default: return row[x];
    }
}

inline void set_index(uint8_t* row, int x, int bits, unsigned index) {
    switch (bits) {
    case 1: row[x >> 3] = uint8_t(row[x >> 3] | (index & 1) << (7 - (x & 7))); break;
    case 4: row[x >> 1] = uint8_t(row[x >> 1] | (index & 15) << ((x & 1) ? 0 : 4)); break;
    default: row[x] = uint8_t(index); break;
    }
}

// The gray level that the gray and black-and-white formats store for a pixel.
inline int gray_of(int red, int green, int blue) { return (58 * blue + 300 * green + 153 * red + 256) / 512; }

// The picture as a surface: 24-bit rows are taken over, indexed ones looked up in the
// palette (an index past its end is black). 16-bit bitmaps are not surfaces' business.
zov::Surface to_surface(Dib&& dib);

}  // namespace imagefile

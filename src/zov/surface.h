// A 24-bit drawing surface kept in the packed DIB pixel layout: rows bottom-up,
// blue-green-red bytes, each row padded to a multiple of 4 bytes. Everything that
// draws, saves or shows a picture works on this memory directly.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace zov {

// rgb values are &H00bbggrr, red in the low byte; only the low 24 bits count.
constexpr uint32_t rgb(int r, int g, int b) {
    return uint32_t(r & 255) | uint32_t(g & 255) << 8 | uint32_t(b & 255) << 16;
}

class Surface {
public:
    Surface() = default;
    Surface(int width, int height, uint32_t fill = 0xFFFFFF);
    // Takes over rows already in this layout (stride_for(width) * height bytes), as
    // an image file reader makes them, without copying them.
    Surface(int width, int height, std::vector<uint8_t> pixels);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ == 0 || height_ == 0; }
    // Bytes per row, padded to 4.
    std::size_t stride() const { return stride_; }
    static std::size_t stride_for(int width) { return (std::size_t(width) * 3 + 3) & ~std::size_t(3); }

    // The rows as stored: bottom row first.
    std::span<uint8_t> bytes() { return pixels_; }
    std::span<const uint8_t> bytes() const { return pixels_; }
    // Row y counted from the top, as drawing coordinates count it.
    uint8_t* row(int y) { return pixels_.data() + std::size_t(height_ - 1 - y) * stride_; }
    const uint8_t* row(int y) const { return pixels_.data() + std::size_t(height_ - 1 - y) * stride_; }

    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    // Outside the surface: get_pixel gives 0 and set_pixel does nothing.
    uint32_t get_pixel(int x, int y) const;
    void set_pixel(int x, int y, uint32_t rgb);

    void fill(uint32_t rgb);

    // Up to 256 rgb values that 8-bit renderings map their pixels to; empty when the
    // surface has no colour table of its own.
    std::vector<uint32_t> colour_table;

private:
    int width_ = 0;
    int height_ = 0;
    std::size_t stride_ = 0;
    std::vector<uint8_t> pixels_;
};

}  // namespace zov

// The 24-bit surface: pixel access and fill over the packed DIB rows.
#include "zov/surface.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace zov {

Surface::Surface(int width, int height, uint32_t fill)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), stride_(stride_for(width_)),
      pixels_(stride_ * std::size_t(height_)) {
    this->fill(fill);
}

Surface::Surface(int width, int height, std::vector<uint8_t> pixels)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), stride_(stride_for(width_)),
      pixels_(std::move(pixels)) {
    pixels_.resize(stride_ * std::size_t(height_));
}

uint32_t Surface::get_pixel(int x, int y) const {
    if (!contains(x, y)) return 0;
    const uint8_t* p = row(y) + std::size_t(x) * 3;
    return rgb(p[2], p[1], p[0]);
}

void Surface::set_pixel(int x, int y, uint32_t colour) {
    if (!contains(x, y)) return;
    uint8_t* p = row(y) + std::size_t(x) * 3;
    p[0] = uint8_t(colour >> 16);
    p[1] = uint8_t(colour >> 8);
    p[2] = uint8_t(colour);
}

void Surface::fill(uint32_t colour) {
    if (empty()) return;
    uint8_t* first = pixels_.data();
    for (int x = 0; x < width_; ++x) {
        first[x * 3] = uint8_t(colour >> 16);
        first[x * 3 + 1] = uint8_t(colour >> 8);
        first[x * 3 + 2] = uint8_t(colour);
    }
    for (int y = 1; y < height_; ++y) std::memcpy(first + std::size_t(y) * stride_, first, stride_);
}

}  // namespace zov

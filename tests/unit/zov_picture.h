// Surfaces as text for the drawing-layer tests: rows of '.' for white and '#' for any
// other colour, so an expected shape reads as a small picture.
#pragma once
#include <cstdint>
#include <string>

#include "zov/surface.h"

namespace zov_test {

constexpr uint32_t white = 0xFFFFFF, red = 0x0000FF, blue = 0xFF0000;

inline std::string picture(const zov::Surface& s, int x0, int y0, int w, int h) {
    std::string text;
    for (int y = y0; y < y0 + h; ++y) {
        for (int x = x0; x < x0 + w; ++x) text += s.get_pixel(x, y) == white ? '.' : '#';
        text += '\n';
    }
    return text;
}

}  // namespace zov_test

// The two 800 x 600 pictures the picture benchmarks work on: a drawing (a few colours
// on white, as programs draw) and a photo-like gradient (every pixel a different colour).
#pragma once
#include <cmath>

#include "zov/surface.h"

inline zov::Surface bench_drawing() {
    zov::Surface surface(800, 600);
    const uint32_t colours[] = {0x0000FF, 0x00FF00, 0xFF0000, 0x000000, 0x00FFFF, 0x808080};
    for (int k = 0; k < 60; ++k) {
        const double cx = 400 + 300 * std::cos(k * 0.7), cy = 300 + 220 * std::sin(k * 1.3), r = 20 + k;
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x)
                if (std::abs(std::hypot(x - cx, y - cy) - r) < 1.5) surface.set_pixel(x, y, colours[k % 6]);
    }
    return surface;
}

inline zov::Surface bench_gradient() {
    zov::Surface surface(800, 600);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) surface.set_pixel(x, y, zov::rgb(x * 255 / 799, y * 255 / 599, (x + y) % 256));
    return surface;
}

// 0: the drawing, 1: the gradient; each made once.
inline const zov::Surface& bench_picture(int which) {
    static const zov::Surface pictures[] = {bench_drawing(), bench_gradient()};
    return pictures[which];
}

// Scrolling the whole picture and clearing it.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "zov/draw.h"

namespace zov {
namespace {

void fill_rows(Surface& surface, int64_t first, int64_t last, int64_t left, int64_t right, uint32_t rgb) {
    first = std::max<int64_t>(first, 0), last = std::min<int64_t>(last, surface.height() - 1);
    left = std::max<int64_t>(left, 0), right = std::min<int64_t>(right, surface.width() - 1);
    for (int64_t y = first; y <= last; ++y)
        for (int64_t x = left; x <= right; ++x) surface.set_pixel(int(x), int(y), rgb);
}

void move_picture(Surface& surface, int64_t dx, int64_t dy) {
    const int64_t width = surface.width(), height = surface.height();
    if (std::llabs(dx) >= width || std::llabs(dy) >= height) return;
    const std::size_t bytes = std::size_t(width - std::llabs(dx)) * 3;
    const std::size_t from_x = std::size_t(dx > 0 ? 0 : -dx) * 3, to_x = std::size_t(dx > 0 ? dx : 0) * 3;
    auto move_row = [&](int64_t y) { std::memmove(surface.row(int(y)) + to_x, surface.row(int(y - dy)) + from_x, bytes); };
    if (dy > 0)
        for (int64_t y = height - 1; y >= dy; --y) move_row(y);
    else
        for (int64_t y = 0; y < height + dy; ++y) move_row(y);
}

}  // namespace

int scroll(Surface& surface, int32_t xs, int32_t ys, int32_t rgb) {
    if (surface.empty()) return -1;
    const int64_t dx = xs, dy = ys, width = surface.width(), height = surface.height();
    move_picture(surface, dx, dy);
    if (rgb == -1) return 0;
    const uint32_t colour = uint32_t(rgb) & 0xFFFFFF;
    if (dx > 0) fill_rows(surface, 0, height - 1, 0, dx - 1, colour);
    if (dx < 0) fill_rows(surface, 0, height - 1, width + dx, width - 1, colour);
    if (dy > 0) fill_rows(surface, 0, dy - 1, 0, width - 1, colour);
    if (dy < 0) fill_rows(surface, height + dy, height - 1, 0, width - 1, colour);
    return 0;
}

int clear(Surface& surface, int32_t rgb) {
    if (surface.empty()) return -1;
    surface.fill(rgb == -1 ? background_colour : uint32_t(rgb) & 0xFFFFFF);
    return 0;
}

}  // namespace zov

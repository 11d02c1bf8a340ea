// Stretched copies between surfaces: nearest pixel, rows and columns dropped or
// repeated, mirrored where the extents' signs differ.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "zov/draw.h"

namespace zov {
namespace {

// One axis: `count` destination pixels from `start` in `direction`, each taking the
// source pixel source_start + direction' * floor(k * source_count / count).
struct Axis {
    int64_t start, direction, count;
    int64_t source_start, source_direction, source_count;

    Axis(int32_t at, int32_t extent, int32_t source_at, int32_t source_extent)
        : start(at), direction(extent < 0 ? -1 : 1), count(std::llabs(int64_t(extent))), source_start(source_at),
          source_direction(source_extent < 0 ? -1 : 1), source_count(std::llabs(int64_t(source_extent))) {}

    // The steps k whose destination lies in 0..size-1.
    void visible(int64_t size, int64_t& first, int64_t& last) const {
        first = 0, last = count - 1;
        if (direction > 0)
            first = std::max(first, -start), last = std::min(last, size - 1 - start);
        else
            first = std::max(first, start - (size - 1)), last = std::min(last, start);
    }
    int64_t target(int64_t k) const { return start + direction * k; }
    int64_t source(int64_t k) const { return source_start + source_direction * (k * source_count / count); }
};

void copy_pixels(Surface& destination, const Surface& source, const Axis& across, const Axis& down) {
    int64_t x_first, x_last, y_first, y_last;
    across.visible(destination.width(), x_first, x_last);
    down.visible(destination.height(), y_first, y_last);
    if (x_first > x_last || y_first > y_last) return;
    std::vector<int64_t> source_x;
    source_x.reserve(std::size_t(x_last - x_first + 1));
    for (int64_t k = x_first; k <= x_last; ++k) source_x.push_back(across.source(k));
    for (int64_t k = y_first; k <= y_last; ++k) {
        const int64_t sy = down.source(k);
        if (sy < 0 || sy >= source.height()) continue;
        const uint8_t* from = source.row(int(sy));
        uint8_t* to = destination.row(int(down.target(k)));
        for (int64_t j = x_first; j <= x_last; ++j) {
            const int64_t sx = source_x[std::size_t(j - x_first)];
            if (sx < 0 || sx >= source.width()) continue;
            std::memcpy(to + across.target(j) * 3, from + sx * 3, 3);
        }
    }
}

}  // namespace

int stretch_copy(Surface& destination, int32_t x, int32_t y, int32_t xw, int32_t yw, const Surface& source,
                 int32_t sx, int32_t sy, int32_t sxw, int32_t syw) {
    if (xw == 0 || yw == 0 || sxw == 0 || syw == 0) return -1;
    if (destination.empty() || source.empty()) return -1;
    if (&source != &destination) {
        copy_pixels(destination, source, Axis(x, xw, sx, sxw), Axis(y, yw, sy, syw));
        return 0;
    }
    // The same surface: read from a copy of the source rectangle's visible part, so
    // overlapping rectangles copy what was there before. As with a separate bitmap of
    // the source's size, the source extents must then be positive.
    if (sxw < 1 || syw < 1) return -1;
    const int64_t left = std::max<int64_t>(sx, 0), top = std::max<int64_t>(sy, 0);
    const int64_t right = std::min<int64_t>(int64_t(sx) + sxw, source.width());
    const int64_t bottom = std::min<int64_t>(int64_t(sy) + syw, source.height());
    if (left >= right || top >= bottom) return 0;
    Surface part(int(right - left), int(bottom - top));
    for (int64_t row = top; row < bottom; ++row)
        std::memcpy(part.row(int(row - top)), source.row(int(row)) + left * 3, std::size_t(right - left) * 3);
    copy_pixels(destination, part, Axis(x, xw, int32_t(sx - left), sxw), Axis(y, yw, int32_t(sy - top), syw));
    return 0;
}

}  // namespace zov

// Flood fill by spans: a stack of row segments still to look at, never recursion, so
// any area fills in memory proportional to its spans.
#include <vector>

#include "zov/draw.h"

namespace zov {
namespace {

class Region {
public:
    Region(Surface& surface, uint32_t target, uint32_t colour)
        : surface_(surface), target_(target), colour_(colour) {}

    bool inside(int64_t x, int64_t y) const {
        return x >= 0 && y >= 0 && x < surface_.width() && y < surface_.height() &&
               surface_.get_pixel(int(x), int(y)) == target_;
    }
    void set(int64_t x, int64_t y) { surface_.set_pixel(int(x), int(y), colour_); }

private:
    Surface& surface_;
    uint32_t target_, colour_;
};

struct Segment {
    int64_t x1, x2, y, dy;
};

// Each popped segment: row y between x1 and x2 came from row y - dy; fill the runs
// found there and queue the rows above and below that they may leak into.
void fill_from(Region& region, int64_t x, int64_t y) {
    std::vector<Segment> stack{{x, x, y, 1}, {x, x, y - 1, -1}};
    while (!stack.empty()) {
        auto [x1, x2, row, dy] = stack.back();
        stack.pop_back();
        int64_t start = x1;
        if (region.inside(start, row)) {
            while (region.inside(start - 1, row)) region.set(--start, row);
            if (start < x1) stack.push_back({start, x1 - 1, row - dy, -dy});
        }
        while (x1 <= x2) {
            while (region.inside(x1, row)) region.set(x1++, row);
            if (x1 > start) stack.push_back({start, x1 - 1, row + dy, dy});
            if (x1 - 1 > x2) stack.push_back({x2 + 1, x1 - 1, row - dy, -dy});
            ++x1;
            while (x1 < x2 && !region.inside(x1, row)) ++x1;
            start = x1;
        }
    }
}

}  // namespace

int flood_fill(Surface& surface, int32_t x, int32_t y, uint32_t rgb) {
    rgb &= 0xFFFFFF;
    if (!surface.contains(x, y)) return -1;
    const uint32_t target = surface.get_pixel(x, y);
    if (target == rgb) return 0;
    Region region(surface, target, rgb);
    fill_from(region, x, y);
    return 0;
}

}  // namespace zov

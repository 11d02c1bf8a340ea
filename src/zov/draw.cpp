// The drawing primitives (being written: every operation reports failure for now).
#include "zov/draw.h"

namespace zov {

int draw_box(Surface&, int32_t, int32_t, int32_t, int32_t, uint32_t, uint32_t) { return -1; }
int draw_line(Surface&, int32_t, int32_t, int32_t, int32_t, uint32_t, uint32_t) { return -1; }
int draw_circle(Surface&, int32_t, int32_t, int32_t, uint32_t, uint32_t) { return -1; }
int draw_oval(Surface&, int32_t, int32_t, int32_t, int32_t, uint32_t, uint32_t) { return -1; }
int32_t read_pixel(const Surface& surface, int32_t x, int32_t y) {
    return surface.contains(x, y) ? int32_t(surface.get_pixel(x, y)) : -1;
}
int flood_fill(Surface&, int32_t, int32_t, uint32_t) { return -1; }
int scroll(Surface&, int32_t, int32_t, int32_t) { return -1; }
int clear(Surface&, int32_t) { return -1; }
int stretch_copy(Surface&, int32_t, int32_t, int32_t, int32_t, const Surface&, int32_t, int32_t, int32_t, int32_t) {
    return -1;
}
int polyline(Surface&, std::span<const Point>, uint32_t, uint32_t) { return -1; }
int rectangle(Surface&, Box, uint32_t, uint32_t) { return -1; }
int ellipse(Surface&, Box, uint32_t, uint32_t) { return -1; }

}  // namespace zov

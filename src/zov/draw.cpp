// The operations of the drawing statements, in terms of pixels, polylines, boxes and
// ellipses.
#include "zov/draw.h"

#include <array>

#include "zov/raster.h"

namespace zov {
namespace {

int plain_pixel(Surface& surface, int64_t x, int64_t y, uint32_t rgb) {
    if (x >= 0 && y >= 0 && x < surface.width() && y < surface.height()) surface.set_pixel(int(x), int(y), rgb);
    return 0;
}

int pen_line(Surface& surface, Point from, Point to, uint32_t rgb, uint32_t options) {
    const std::array<Point, 2> points{from, to};
    return polyline(surface, points, rgb, options);
}

int64_t step_past(int64_t start, int64_t end) { return end == start ? end : end + (end > start ? 1 : -1); }

// The pen from `from` through `last`, both drawn: a wide solid pen's polyline includes
// its end (with a round cap), the others leave it out and go one pixel further.
int pen_through(Surface& surface, Point from, Point last, uint32_t rgb, uint32_t options) {
    const raster::Pen pen = raster::Pen::from(rgb, options);
    if (pen.width > 1 && !pen.dotted) return pen_line(surface, from, last, rgb, options);
    return pen_line(surface, from, {step_past(from.x, last.x), step_past(from.y, last.y)}, rgb, options);
}

}  // namespace

int draw_box(Surface& surface, int32_t x, int32_t y, int32_t xw, int32_t yw, uint32_t rgb, uint32_t options) {
    if (xw == 0 || yw == 0) return -1;
    int64_t left = x, top = y, width = xw, height = yw;
    if (width < 0) width = -width, left = left + 1 - width;
    if (height < 0) height = -height, top = top + 1 - height;
    if (width == 1 && height == 1) return plain_pixel(surface, left, top, rgb);
    if (width == 1) return pen_through(surface, {left, top}, {left, top + height - 1}, rgb, options);
    if (height == 1) return pen_through(surface, {left, top}, {left + width - 1, top}, rgb, options);
    return rectangle(surface, {left, top, left + width, top + height}, rgb, options);
}

int draw_line(Surface& surface, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t rgb, uint32_t options) {
    options &= ~option::fill;
    const bool straight = (y1 == y2 && x1 != x2) || (x1 == x2 && y1 != y2);
    if (straight) return pen_through(surface, {x1, y1}, {x2, y2}, rgb, options);
    if (x1 == x2) return plain_pixel(surface, x2, y2, rgb);
    const int drawn = pen_line(surface, {x1, y1}, {x2, y2}, rgb, options);
    // The end pixel comes last: a wide pen covers it too, and it must stay plain rgb.
    plain_pixel(surface, x2, y2, rgb);
    return drawn;
}

int draw_circle(Surface& surface, int32_t x, int32_t y, int32_t r, uint32_t rgb, uint32_t options) {
    return draw_oval(surface, x, y, r, r, rgb, options);
}

int draw_oval(Surface& surface, int32_t x, int32_t y, int32_t xr, int32_t yr, uint32_t rgb, uint32_t options) {
    if (xr < 0 || yr < 0) return -1;
    if (xr == 0 && yr == 0) return plain_pixel(surface, x, y, rgb);
    const int64_t cx = x, cy = y;
    if (xr == 0 || yr == 0) {
        const Point end{cx + xr, cy + yr};
        pen_line(surface, {cx - xr, cy - yr}, end, rgb, options & ~option::fill);
        return plain_pixel(surface, end.x, end.y, rgb);
    }
    return ellipse(surface, {cx - xr, cy - yr, cx + xr + 1, cy + yr + 1}, rgb, options);
}

int32_t read_pixel(const Surface& surface, int32_t x, int32_t y) {
    return surface.contains(x, y) ? int32_t(surface.get_pixel(x, y)) : -1;
}

}  // namespace zov

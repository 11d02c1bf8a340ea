// Polylines with the pen: thin or wide, solid or dotted.
#include <algorithm>

#include "zov/raster.h"

namespace zov {
namespace {

using raster::Painter;
using raster::Pen;

// Far beyond any surface, near enough that step arithmetic never overflows.
constexpr int64_t coordinate_limit = int64_t(1) << 40;

Point bounded(Point p) {
    return {std::clamp(p.x, -coordinate_limit, coordinate_limit), std::clamp(p.y, -coordinate_limit, coordinate_limit)};
}

// Centre pixels outside this box cannot reach the surface with the pen.
Box reach_box(const Surface& surface, const Pen& pen) {
    return {-pen.width, -pen.width, int64_t(surface.width()) + pen.width, int64_t(surface.height()) + pen.width};
}

// The pen's cross-section at one centre pixel, across the line's direction.
void paint_across(Painter& painter, const Pen& pen, int64_t x, int64_t y, bool x_major, uint32_t colour) {
    if (!x_major) {
        painter.span(y, x - pen.inside(), x + pen.outside(), colour);
        return;
    }
    for (int64_t row = y - pen.inside(); row <= y + pen.outside(); ++row) painter.pixel(x, row, colour);
}

// A round cap or join: a disc of the pen's width centred on p.
void paint_dot(Painter& painter, const Pen& pen, Point p) {
    const Box disc{p.x - pen.inside(), p.y - pen.inside(), p.x + pen.outside() + 1, p.y + pen.outside() + 1};
    const raster::EllipseRows rows(disc, 0);
    int64_t left, right;
    for (int64_t y = rows.top(); y <= rows.bottom(); ++y)
        if (rows.row(y, left, right)) painter.span(y, left, right, pen.colour);
}

void stroke(Painter& painter, const Surface& surface, const Pen& pen, std::span<const Point> points) {
    const bool round_ends = pen.width > 1 && !pen.dotted;
    const Box clip = reach_box(surface, pen);
    int64_t pattern = 0;
    for (std::size_t k = 0; k + 1 < points.size(); ++k) {
        const Point from = bounded(points[k]), to = bounded(points[k + 1]);
        raster::SegmentWalk walk(from, to, round_ends, clip);
        int64_t step, x, y;
        while (walk.next(step, x, y)) {
            if (!pen.dotted || raster::dot_drawn(pattern + step))
                paint_across(painter, pen, x, y, walk.x_major(), pen.colour);
            else if (pen.opaque_gaps)
                paint_across(painter, pen, x, y, walk.x_major(), background_colour);
        }
        pattern += std::max(std::llabs(to.x - from.x), std::llabs(to.y - from.y));
    }
    if (round_ends)
        for (Point p : points) paint_dot(painter, pen, bounded(p));
}

}  // namespace

int polyline(Surface& surface, std::span<const Point> points, uint32_t rgb, uint32_t options) {
    if (points.size() < 2 || surface.empty()) return -1;
    const Pen pen = Pen::from(rgb, options);
    Painter painter(surface, pen.exclusive_or);
    stroke(painter, surface, pen, points);
    return 0;
}

}  // namespace zov

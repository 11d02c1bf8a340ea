// Boxes and ellipses: outline with the pen, interior with the brush, never overlapping.
#include <algorithm>
#include <cstdlib>
#include <cmath>
#include <vector>

#include "base/diagnostics.h"
#include "zov/raster.h"

namespace zov {
namespace {

using raster::EllipseRows;
using raster::Painter;
using raster::Pen;

constexpr int64_t ellipse_size_limit = int64_t(1) << 32;

bool within_limits(Box box) {
    return std::max({std::llabs(box.left), std::llabs(box.top), std::llabs(box.right), std::llabs(box.bottom)}) <=
           raster::coordinate_limit;
}

int64_t first_row(int64_t top) { return std::max<int64_t>(top, 0); }
int64_t last_row(const Surface& surface, int64_t bottom) { return std::min<int64_t>(bottom, surface.height() - 1); }

// One centre pixel of a dotted outline: the pen's colour or the gap's, across the
// outline; `outward` is the side the wider half of a wide pen goes to.
void paint_dotted(Painter& painter, const Pen& pen, int64_t index, Point p, Point outward) {
    const bool drawn = raster::dot_drawn(index);
    if (!drawn && !pen.opaque_gaps) return;
    const uint32_t colour = drawn ? pen.colour : background_colour;
    const int64_t low = outward.x + outward.y < 0 ? pen.outside() : pen.inside();
    const int64_t high = pen.width - 1 - low;
    if (outward.x != 0)
        painter.span(p.y, p.x - low, p.x + high, colour);
    else if (outward.y != 0)
        for (int64_t y = p.y - low; y <= p.y + high; ++y) painter.pixel(p.x, y, colour);
    else
        for (int64_t y = p.y - pen.inside(); y <= p.y + pen.outside(); ++y)
            painter.span(y, p.x - pen.inside(), p.x + pen.outside(), colour);
}

// The box's border pixels clockwise from the top-left corner, the pattern running on.
void dotted_box_outline(Painter& painter, const Surface& surface, const Pen& pen, Box box) {
    const int64_t l = box.left, t = box.top, r = box.right - 1, b = box.bottom - 1;
    struct Edge {
        Point from, to, outward;
        bool present;
    };
    const Edge edges[] = {
        {{l, t}, {r, t}, {0, -1}, true},
        {{r, t + 1}, {r, b}, {1, 0}, b > t},
        {{r - 1, b}, {l, b}, {0, 1}, b > t && r > l},
        {{l, b - 1}, {l, t + 1}, {-1, 0}, r > l && b - 1 > t},
    };
    const Box clip{-pen.width, -pen.width, int64_t(surface.width()) + pen.width,
                   int64_t(surface.height()) + pen.width};
    int64_t pattern = 0;
    for (const Edge& edge : edges) {
        if (!edge.present) continue;
        raster::SegmentWalk walk(edge.from, edge.to, true, clip);
        int64_t step, x, y;
        while (walk.next(step, x, y)) paint_dotted(painter, pen, pattern + step, {x, y}, edge.outward);
        pattern += std::max(std::llabs(edge.to.x - edge.from.x), std::llabs(edge.to.y - edge.from.y)) + 1;
    }
}

void solid_box_outline(Painter& painter, const Surface& surface, const Pen& pen, Box outer, Box inner) {
    const bool hollow = inner.left < inner.right && inner.top < inner.bottom;
    for (int64_t y = first_row(outer.top); y <= last_row(surface, outer.bottom - 1); ++y) {
        if (hollow && y >= inner.top && y < inner.bottom) {
            painter.span(y, outer.left, inner.left - 1, pen.colour);
            painter.span(y, inner.right, outer.right - 1, pen.colour);
        } else {
            painter.span(y, outer.left, outer.right - 1, pen.colour);
        }
    }
}

// The interior of an ellipse on row y: its pixels whose four neighbours are in it too.
bool interior_row(const EllipseRows& rows, int64_t y, int64_t& left, int64_t& right) {
    int64_t l[3], r[3];
    for (int k = 0; k < 3; ++k)
        if (!rows.row(y - 1 + k, l[k], r[k])) return false;
    left = std::max({l[1] + 1, l[0], l[2]});
    right = std::min({r[1] - 1, r[0], r[2]});
    return left <= right;
}

void solid_ellipse(Painter& painter, const Surface& surface, const Pen& pen, Box box) {
    const EllipseRows outer(box, pen.outside()), inner(box, -pen.inside());
    for (int64_t y = first_row(outer.top()); y <= last_row(surface, outer.bottom()); ++y) {
        int64_t left, right, inner_left, inner_right;
        if (!outer.row(y, left, right)) continue;
        if (interior_row(inner, y, inner_left, inner_right)) {
            painter.span(y, left, inner_left - 1, pen.colour);
            painter.span(y, inner_right + 1, right, pen.colour);
            if (pen.fill) painter.span(y, inner_left, inner_right, pen.colour);
        } else {
            painter.span(y, left, right, pen.colour);
        }
    }
}

// The one-pixel outline's centre pixels that the pen can carry onto the surface, in
// order around the ellipse, so the dots run evenly along it.
std::vector<Point> outline_in_order(const Surface& surface, const Pen& pen, Box box) {
    const EllipseRows rows(box, 0);
    const int64_t reach = pen.width, x_low = -reach, x_high = surface.width() - 1 + reach;
    std::vector<Point> points;
    auto add = [&](int64_t y, int64_t from, int64_t to) {
        for (int64_t x = std::max(from, x_low); x <= std::min(to, x_high); ++x) points.push_back({x, y});
    };
    const int64_t y_end = std::min<int64_t>(rows.bottom(), surface.height() - 1 + reach);
    for (int64_t y = std::max<int64_t>(rows.top(), -reach); y <= y_end; ++y) {
        int64_t left, right, inner_left, inner_right;
        if (!rows.row(y, left, right)) continue;
        if (interior_row(rows, y, inner_left, inner_right)) {
            add(y, left, inner_left - 1);
            add(y, inner_right + 1, right);
        } else {
            add(y, left, right);
        }
    }
    const double cx2 = double(box.left + box.right - 1), cy2 = double(box.top + box.bottom - 1);
    const double w = double(box.right - box.left), h = double(box.bottom - box.top);
    auto angle = [&](Point p) { return std::atan2((2.0 * double(p.y) - cy2) * w, (2.0 * double(p.x) - cx2) * h); };
    std::sort(points.begin(), points.end(), [&](Point a, Point b) { return angle(a) < angle(b); });
    return points;
}

void dotted_ellipse(Painter& painter, const Surface& surface, const Pen& pen, Box box) {
    const std::vector<Point> outline = outline_in_order(surface, pen, box);
    for (std::size_t k = 0; k < outline.size(); ++k) paint_dotted(painter, pen, int64_t(k), outline[k], {0, 0});
    if (!pen.fill) return;
    const EllipseRows inner(box, -pen.inside());
    for (int64_t y = first_row(inner.top()); y <= last_row(surface, inner.bottom()); ++y) {
        int64_t left, right;
        if (interior_row(inner, y, left, right)) painter.span(y, left, right, pen.colour);
    }
}

}  // namespace

int rectangle(Surface& surface, Box box, uint32_t rgb, uint32_t options) {
    if (box.right <= box.left || box.bottom <= box.top || surface.empty()) return -1;
    if (!within_limits(box)) {
        ZOV_REPORT("rectangle: coordinates out of range");
        return -1;
    }
    const Pen pen = Pen::from(rgb, options);
    Painter painter(surface, pen.exclusive_or);
    const int64_t in = pen.inside(), out = pen.outside();
    const Box inner{box.left + 1 + in, box.top + 1 + in, box.right - 1 - in, box.bottom - 1 - in};
    if (pen.fill && inner.left < inner.right)
        for (int64_t y = first_row(inner.top); y <= last_row(surface, inner.bottom - 1); ++y)
            painter.span(y, inner.left, inner.right - 1, pen.colour);
    if (pen.dotted)
        dotted_box_outline(painter, surface, pen, box);
    else
        solid_box_outline(painter, surface, pen, {box.left - out, box.top - out, box.right + out, box.bottom + out},
                          inner);
    return 0;
}

int ellipse(Surface& surface, Box box, uint32_t rgb, uint32_t options) {
    if (box.right <= box.left || box.bottom <= box.top || surface.empty()) return -1;
    if (!within_limits(box) || box.right - box.left > ellipse_size_limit ||
        box.bottom - box.top > ellipse_size_limit) {
        ZOV_REPORT("ellipse: box out of range");
        return -1;
    }
    const Pen pen = Pen::from(rgb, options);
    Painter painter(surface, pen.exclusive_or);
    if (pen.dotted)
        dotted_ellipse(painter, surface, pen, box);
    else
        solid_ellipse(painter, surface, pen, box);
    return 0;
}

}  // namespace zov

// Inside the rasterizer: the pen an option word selects, and the painter that writes
// the pixels of one primitive, clipped to the surface and each pixel at most once.
#pragma once
#include <cstdint>
#include <vector>

#include "zov/draw.h"

namespace zov::raster {

struct Pen {
    uint32_t colour = 0;
    int width = 1;
    bool dotted = false;
    bool opaque_gaps = false;
    bool exclusive_or = false;
    bool fill = false;

    static Pen from(uint32_t rgb, uint32_t options);
    // Pixels of a wide pen on each side of the outline it follows.
    int inside() const { return (width - 1) / 2; }
    int outside() const { return width - 1 - inside(); }
    int reach() const { return outside(); }
};

// Dotted pens: this many pixels drawn, then as many skipped.
inline constexpr int64_t dot_run = 3;
inline bool dot_drawn(int64_t index) {
    const int64_t phase = index % (2 * dot_run);
    return (phase < 0 ? phase + 2 * dot_run : phase) < dot_run;
}

// Copy mode writes at once (overlapping spans are harmless); exclusive-or mode keeps
// the spans until finish() and combines each covered pixel once.
class Painter {
public:
    Painter(Surface& surface, bool exclusive_or) : surface_(surface), exclusive_or_(exclusive_or) {}
    Painter(const Painter&) = delete;
    Painter& operator=(const Painter&) = delete;
    ~Painter() { finish(); }

    // Pixels x0..x1 (inclusive) of row y.
    void span(int64_t y, int64_t x0, int64_t x1, uint32_t colour);
    void pixel(int64_t x, int64_t y, uint32_t colour) {
        if (exclusive_or_ || x < 0 || y < 0 || x >= surface_.width() || y >= surface_.height()) {
            span(y, x, x, colour);
            return;
        }
        uint8_t* p = surface_.row(int(y)) + std::size_t(x) * 3;
        p[0] = uint8_t(colour >> 16);
        p[1] = uint8_t(colour >> 8);
        p[2] = uint8_t(colour);
    }
    void finish();

private:
    struct Span {
        int32_t y, x0, x1;
        uint32_t colour;
    };
    void write(const Span& span);

    Surface& surface_;
    bool exclusive_or_;
    std::vector<Span> pending_;
};

// The centre pixels of the segment a..b (b left out unless include_end) that lie in
// `clip`, in order from a; each with its step number counted from a along the longer
// axis. Only the clipped part is walked, whatever the coordinates.
class SegmentWalk {
public:
    SegmentWalk(Point a, Point b, bool include_end, Box clip);
    bool x_major() const { return x_major_; }
    bool next(int64_t& index, int64_t& x, int64_t& y) {
        if (index_ > last_) return false;
        index = index_;
        x = x_major_ ? major_ : minor_;
        y = x_major_ ? minor_ : major_;
        ++index_;
        major_ += major_step_;
        remainder_ += remainder_step_;
        if (remainder_ >= remainder_limit_) {
            remainder_ -= remainder_limit_;
            minor_ += minor_step_;
        }
        return true;
    }

private:
    bool x_major_ = true;
    int64_t index_ = 0, last_ = -1;
    int64_t major_ = 0, minor_ = 0, major_step_ = 1, minor_step_ = 1;
    int64_t remainder_ = 0, remainder_step_ = 0, remainder_limit_ = 1;
};

// The rows of the ellipse inscribed in a box grown by `grow` pixels on every side
// (negative: shrunk). A pixel belongs to it when its centre lies strictly inside.
class EllipseRows {
public:
    EllipseRows(Box box, int64_t grow);
    bool empty() const { return width_ <= 0 || height_ <= 0; }
    int64_t top() const { return (centre_y2_ - height_ + 1) / 2; }
    int64_t bottom() const { return (centre_y2_ + height_ - 1) / 2; }
    // The pixels left..right of row y; false when the row has none.
    bool row(int64_t y, int64_t& left, int64_t& right) const;

private:
    bool inside(int64_t dx2, int64_t dy2) const;
    bool compute_row(int64_t y, int64_t& left, int64_t& right) const;
    // Coordinates are doubled so that the centre of an even-sized box is whole.
    int64_t centre_x2_, centre_y2_, width_, height_;
    bool exact_;
    // Shapes ask for each row and its two neighbours: the last few answers are kept.
    struct Remembered {
        int64_t y = INT64_MIN, left = 0, right = -1;
        bool present = false;
    };
    mutable Remembered remembered_[4];
};

}  // namespace zov::raster

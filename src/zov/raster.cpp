// The pen of an option word, the clipped painter, and the two walks every shape is
// made of: segments and ellipse rows.
#include "zov/raster.h"

#include <algorithm>
#include <cmath>

namespace zov::raster {

Pen Pen::from(uint32_t rgb, uint32_t options) {
    Pen pen;
    pen.colour = rgb & 0xFFFFFF;
    if (options & option::width_given) pen.width = std::max<int>(1, options & option::width_mask);
    pen.dotted = options & option::dotted;
    pen.opaque_gaps = !(options & option::transparent);
    pen.exclusive_or = options & option::exclusive_or;
    pen.fill = options & option::fill;
    return pen;
}

void Painter::span(int64_t y, int64_t x0, int64_t x1, uint32_t colour) {
    if (y < 0 || y >= surface_.height()) return;
    x0 = std::max<int64_t>(x0, 0);
    x1 = std::min<int64_t>(x1, surface_.width() - 1);
    if (x0 > x1) return;
    const Span clipped{int32_t(y), int32_t(x0), int32_t(x1), colour & 0xFFFFFF};
    if (exclusive_or_)
        pending_.push_back(clipped);
    else
        write(clipped);
}

void Painter::write(const Span& span) {
    uint8_t* p = surface_.row(span.y) + std::size_t(span.x0) * 3;
    uint8_t* const end = p + std::size_t(span.x1 - span.x0 + 1) * 3;
    const uint8_t blue = uint8_t(span.colour >> 16), green = uint8_t(span.colour >> 8), red = uint8_t(span.colour);
    if (exclusive_or_) {
        for (; p != end; p += 3) p[0] ^= blue, p[1] ^= green, p[2] ^= red;
    } else {
        for (; p != end; p += 3) p[0] = blue, p[1] = green, p[2] = red;
    }
}

// Each pixel once: where spans overlap, the earlier one (by position) keeps it.
void Painter::finish() {
    std::sort(pending_.begin(), pending_.end(),
              [](const Span& a, const Span& b) { return a.y != b.y ? a.y < b.y : a.x0 < b.x0; });
    int32_t row = -1, covered = -1;
    for (Span span : pending_) {
        if (span.y != row) row = span.y, covered = -1;
        span.x0 = std::max(span.x0, covered + 1);
        if (span.x0 > span.x1) continue;
        write(span);
        covered = span.x1;
    }
    pending_.clear();
}

namespace {

// The minor offset of step i: i * minor / major rounded, halves toward the start.
__int128 offset_numerator(int64_t step, int64_t major, int64_t minor) {
    return __int128(2) * step * minor + major - 1;
}

int64_t minor_offset(int64_t step, int64_t major, int64_t minor) {
    constexpr int64_t small = int64_t(1) << 30;
    if (step < small && minor < small && major < small) return (2 * step * minor + major - 1) / (2 * major);
    const __int128 numerator = offset_numerator(step, major, minor);
    return int64_t(numerator / (__int128(2) * major));
}

// The first step in [low, high] whose offset is at least `bound`, or high + 1.
int64_t first_reaching(int64_t low, int64_t high, int64_t major, int64_t minor, int64_t bound) {
    if (low > high || minor_offset(low, major, minor) >= bound) return low;
    if (minor_offset(high, major, minor) < bound) return high + 1;
    while (low <= high) {
        const int64_t mid = low + (high - low) / 2;
        if (minor_offset(mid, major, minor) >= bound)
            high = mid - 1;
        else
            low = mid + 1;
    }
    return low;
}

// The steps whose coordinate start + step * direction lies in [low, high].
void steps_within(int64_t start, int64_t direction, int64_t low, int64_t high, int64_t& first, int64_t& last) {
    if (direction > 0) {
        first = std::max(first, low - start);
        last = std::min(last, high - start);
    } else {
        first = std::max(first, start - high);
        last = std::min(last, start - low);
    }
}

}  // namespace

SegmentWalk::SegmentWalk(Point a, Point b, bool include_end, Box clip) {
    const int64_t dx = b.x - a.x, dy = b.y - a.y;
    x_major_ = std::llabs(dx) >= std::llabs(dy);
    const int64_t major_delta = x_major_ ? dx : dy, minor_delta = x_major_ ? dy : dx;
    const int64_t major = std::llabs(major_delta), minor = std::llabs(minor_delta);
    const int64_t major_start = x_major_ ? a.x : a.y, minor_start = x_major_ ? a.y : a.x;
    major_step_ = major_delta < 0 ? -1 : 1;
    minor_step_ = minor_delta < 0 ? -1 : 1;

    int64_t first = 0, last = include_end ? major : major - 1;
    if (major == 0) {
        if (last < 0 || clip.left > a.x || a.x >= clip.right || clip.top > a.y || a.y >= clip.bottom) return;
        major_ = major_start, minor_ = minor_start, index_ = 0, last_ = 0;
        return;
    }
    const Box& c = clip;
    if (x_major_)
        steps_within(major_start, major_step_, c.left, c.right - 1, first, last);
    else
        steps_within(major_start, major_step_, c.top, c.bottom - 1, first, last);
    if (first > last) return;
    int64_t low = x_major_ ? c.top : c.left, high = (x_major_ ? c.bottom : c.right) - 1;
    if (minor_step_ < 0) std::swap(low, high), low = -low, high = -high;
    const int64_t offset_low = low - minor_step_ * minor_start, offset_high = high - minor_step_ * minor_start;
    first = first_reaching(first, last, major, minor, offset_low);
    last = first_reaching(first, last, major, minor, offset_high + 1) - 1;
    if (first > last) return;

    const __int128 numerator = offset_numerator(first, major, minor);
    index_ = first;
    last_ = last;
    major_ = major_start + major_step_ * first;
    minor_ = minor_start + minor_step_ * int64_t(numerator / (2 * major));
    remainder_ = int64_t(numerator % (2 * major));
    remainder_step_ = 2 * minor;
    remainder_limit_ = 2 * major;
}

EllipseRows::EllipseRows(Box box, int64_t grow)
    : centre_x2_(box.left + box.right - 1), centre_y2_(box.top + box.bottom - 1),
      width_(box.right - box.left + 2 * grow), height_(box.bottom - box.top + 2 * grow) {
    constexpr int64_t exact_limit = int64_t(1) << 31;
    exact_ = width_ <= exact_limit && height_ <= exact_limit;
}

// (dx2 / width)^2 + (dy2 / height)^2 < 1 in whole numbers.
bool EllipseRows::inside(int64_t dx2, int64_t dy2) const {
    using u128 = unsigned __int128;
    const u128 w2 = u128(width_) * u128(width_), h2 = u128(height_) * u128(height_);
    const u128 x2 = u128(dx2) * u128(dx2), y2 = u128(dy2) * u128(dy2);
    return x2 * h2 < w2 * (h2 - y2);
}

bool EllipseRows::row(int64_t y, int64_t& left, int64_t& right) const {
    Remembered& slot = remembered_[y & 3];
    if (slot.y != y) {
        int64_t l = 0, r = -1;
        const bool present = compute_row(y, l, r);
        slot = {y, l, r, present};
    }
    left = slot.left;
    right = slot.right;
    return slot.present;
}

bool EllipseRows::compute_row(int64_t y, int64_t& left, int64_t& right) const {
    if (empty()) return false;
    const int64_t dy2 = 2 * y - centre_y2_;
    if (std::llabs(dy2) >= height_) return false;
    const long double h = height_, d = std::llabs(dy2);
    const long double half_span = width_ * std::sqrt((h - d) * (h + d)) / h;
    int64_t reach = int64_t(std::ceil(half_span)) - 1;
    const int64_t parity = centre_x2_ & 1;
    if (((reach - parity) & 1) != 0) --reach;
    if (exact_) {
        while (reach >= 0 && !inside(reach, dy2)) reach -= 2;
        while (reach + 2 < width_ && inside(reach + 2, dy2)) reach += 2;
    }
    if (reach < 0) return false;
    left = (centre_x2_ - reach) / 2;
    right = (centre_x2_ + reach) / 2;
    return true;
}

}  // namespace zov::raster

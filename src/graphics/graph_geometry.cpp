// Graph pixel arithmetic: every division and truncation happens where the graphs'
// drawing rules put it, in 64-bit integers or doubles.
#include "graphics/graph_geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kStereoOffset = 0.07853981633974483;  // pi/40, 4.5 degrees
constexpr double kPixelLimit = 4.0e18;                 // well inside int64_t

}  // namespace

std::optional<int64_t> truncate_to_pixel(double value) {
    if (!(std::fabs(value) < kPixelLimit)) return std::nullopt;
    return static_cast<int64_t>(value);
}

bool fits_32_bits(int64_t value) {
    return value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max();
}

bool is_real_value(Complex value) {
    if (value.re == 0.0) return std::fabs(value.im) < 1e-10;
    return std::fabs(value.im / value.re) < 1e-10;
}

PixelArea graph2d_plot_area(const PixelArea& area, int cell_width, int cell_height) {
    return {area.x + 4 * int64_t{cell_width}, area.y + 2 * int64_t{cell_height}, area.width - 8 * int64_t{cell_width},
            area.height - 4 * int64_t{cell_height}};
}

bool graph2d_area_usable(const PixelArea& plot) { return plot.width > 10 && plot.height > 10; }

double graph2d_sample_x(int64_t i, int64_t columns, const GraphRange& x) {
    return (x.max - x.min) * static_cast<double>(i) / static_cast<double>(columns - 1) + x.min;
}

std::optional<int64_t> graph2d_row(double v, const PixelArea& plot, const GraphRange& y) {
    const auto offset = truncate_to_pixel((v - y.min) * static_cast<double>(plot.height - 1) / (y.max - y.min));
    if (!offset) return std::nullopt;
    return plot.y + plot.height - 1 - *offset;
}

std::array<GraphPanel, 2> graph3d_panels(const PixelArea& area, bool two_panels) {
    if (!two_panels) {
        const int64_t side = std::min(area.width, area.height);
        const GraphPanel only{area.x + (area.width - side) / 2, area.y + (area.height - side) / 2, side, 1};
        return {only, only};
    }
    const int64_t half = area.width / 2;
    const int64_t side = std::min(half, area.height);
    const GraphPanel first{area.x + (half - side) / 2, area.y + (area.height - side) / 2, side, 1};
    return {first, GraphPanel{first.x + half, first.y, side, 0}};
}

bool graph3d_has_two_panels(Graph3dType type) { return type != Graph3dType::Xy2z && type != Graph3dType::Z2c; }

double graph3d_view_angle(Graph3dType type, int eye, double hroll) {
    if (type == Graph3dType::Xy2rl) return eye ? hroll - kStereoOffset : hroll + kStereoOffset;
    if (type == Graph3dType::Xy2lr) return eye ? hroll + kStereoOffset : hroll - kStereoOffset;
    return hroll;
}

Graph3dProjection::Graph3dProjection(int64_t side, double hroll, double vroll)
    : width_(side),
      height_(side),
      grid_(60 * side / 100),
      levels_(60 * side / 100),
      a_(std::cos(hroll)),
      b_(std::sin(hroll)),
      c_(std::cos(vroll)),
      d_(std::sin(vroll)),
      half_width_(static_cast<double>(width_ / 2)),
      half_height_(static_cast<double>(height_ / 2)) {
    if (grid_ < 0 || !angles_finite()) return;
    for (int64_t k = 0; k <= grid_; ++k) {
        along_a_.push_back(a_ * static_cast<double>(k - grid_ / 2));
        along_b_.push_back(b_ * static_cast<double>(k - grid_ / 2));
    }
    for (int64_t z = 0; z <= levels_; ++z) up_.push_back(static_cast<double>(z - levels_ / 2) * c_);
}

bool Graph3dProjection::angles_finite() const {
    return std::isfinite(a_) && std::isfinite(b_) && std::isfinite(c_) && std::isfinite(d_);
}

std::optional<PixelPoint> Graph3dProjection::project(int64_t x, int64_t y, int64_t z) const {
    const auto dx = static_cast<double>(x - grid_ / 2);
    const auto dy = static_cast<double>(y - grid_ / 2);
    const auto dz = static_cast<double>(z - levels_ / 2);
    const auto sx = truncate_to_pixel(a_ * dx - b_ * dy + half_width_ + 0.5);
    const auto s = truncate_to_pixel((a_ * dy + b_ * dx) * d_ + dz * c_ + half_height_ + 0.5);
    if (!sx || !s) return std::nullopt;
    return PixelPoint{*sx, height_ - *s - 1};
}

// The pixel arithmetic of the graphs: plot areas and value-to-row mapping of graph2d,
// panel layout, viewing angles and the integer projection of graph3d. Everything here
// is pure, so the exact truncations can be checked against hand-computed corners.
#pragma once
#include <array>
#include <cstdint>
#include <optional>

#include "graphics/graph_settings.h"
#include "values/complex.h"

// A rectangle of the target surface; 64 bits so that areas given near +-2^31 cannot
// overflow while margins are added.
struct PixelArea {
    int64_t x = 0;
    int64_t y = 0;
    int64_t width = 0;
    int64_t height = 0;
};

struct PixelPoint {
    int64_t x = 0;
    int64_t y = 0;
};

// Truncation toward zero; nothing when the value is not a number or is beyond any
// pixel position (the point is then left out rather than wrapped around).
std::optional<int64_t> truncate_to_pixel(double value);

// Whether a pixel position can be handed to the drawing operations; positions beyond
// 32 bits lie off every surface.
bool fits_32_bits(int64_t value);

// A value counts as real when its imaginary part is negligible beside its real part.
bool is_real_value(Complex value);

// graph2d: the area inside the margins of four character widths left and right and
// two character heights above and below.
PixelArea graph2d_plot_area(const PixelArea& area, int cell_width, int cell_height);
bool graph2d_area_usable(const PixelArea& plot);
// The x of column i of a plot `columns` pixels wide.
double graph2d_sample_x(int64_t i, int64_t columns, const GraphRange& x);
// The row where value `v` of the y range lies; nothing when it cannot be placed.
std::optional<int64_t> graph2d_row(double v, const PixelArea& plot, const GraphRange& y);

// graph3d panels: one square centred in the area, or two side by side in its halves.
struct GraphPanel {
    int64_t x = 0;
    int64_t y = 0;
    int64_t side = 0;
    int eye = 1;  // 1 for the first panel, 0 for the second
};
std::array<GraphPanel, 2> graph3d_panels(const PixelArea& area, bool two_panels);

enum class Graph3dType { Xy2z = 0, Xy2rl = 1, Xy2lr = 2, Xy2c = 3, Z2c = 4, C2c = 5 };

bool graph3d_has_two_panels(Graph3dType type);
// The turn of a panel: hroll, moved by 4.5 degrees either way for the eyes of a stereo pair.
double graph3d_view_angle(Graph3dType type, int eye, double hroll);

// The grid of N+1 by N+1 sample points and M+1 height steps of a panel, and the
// projection of a grid point onto the panel's W x H pixels.
class Graph3dProjection {
public:
    Graph3dProjection(int64_t side, double hroll, double vroll);

    int64_t grid() const { return grid_; }      // N
    int64_t levels() const { return levels_; }  // M
    // Grid point (X, Y, Z): X and Y across the horizontal plane, Z upward.
    std::optional<PixelPoint> project(int64_t x, int64_t y, int64_t z) const;

private:
    int64_t width_, height_, grid_, levels_;
    double a_, b_, c_, d_;
};

// The pixel arithmetic of the graphs: plot areas and value-to-row mapping of graph2d,
// panel layout, viewing angles and the integer projection of graph3d. Everything here
// is pure, so the exact truncations can be checked against hand-computed corners.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

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

    // The same for points of the grid (0 <= X, Y <= N, 0 <= Z <= M) by the same
    // arithmetic, with the products of each column, row and level computed once:
    // plotting a panel is then a few additions per point. Only for finite angles.
    struct GridView {
        const double* along_a;  // a * (k - N/2) for k = 0..N
        const double* along_b;  // b * (k - N/2)
        const double* up;       // c * (z - M/2) for z = 0..M
        double d, half_width, half_height;
        int64_t height;

        PixelPoint project(int64_t x, int64_t y, int64_t z) const {
            const double sx = along_a[x] - along_b[y] + half_width + 0.5;
            const double s = (along_a[y] + along_b[x]) * d + up[z] + half_height + 0.5;
            return {static_cast<int64_t>(sx), height - static_cast<int64_t>(s) - 1};
        }
    };
    bool angles_finite() const;
    GridView grid_view() const {
        return {along_a_.data(), along_b_.data(), up_.data(), d_, half_width_, half_height_, height_};
    }

private:
    int64_t width_, height_, grid_, levels_;
    double a_, b_, c_, d_;
    double half_width_, half_height_;
    std::vector<double> along_a_, along_b_, up_;
};

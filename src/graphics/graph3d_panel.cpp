// Drawing a 3D graph panel, with the function values taken from the cache when it holds
// them for this function, ranges, size and type.
#include "graphics/graph3d_panel.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <string>

#include "graphics/graph_function.h"
#include "graphics/graph_statement.h"
#include "graphics/graph_workspace.h"
#include "interp/vmbas.h"
#include "io/break_flag.h"
#include "zov/draw.h"

namespace {

// The tallest window: a larger square panel can never be seen whole, and its bitmap
// and values would take gigabytes. Such a panel is left undrawn, as when memory runs out.
constexpr int64_t kMaxPanelSide = 10800;

bool prepare_bitmap(zov::Surface& bitmap, int64_t side) {
    if (bitmap.width() == side && bitmap.height() == side) {
        bitmap.fill(kGraphWhite);
        return true;
    }
    try {
        bitmap = zov::Surface(static_cast<int>(side), static_cast<int>(side), kGraphWhite);
    } catch (const std::bad_alloc&) {
        bitmap = zov::Surface();
        return false;
    }
    return true;
}

int parameter_count(Graph3dType type) { return type == Graph3dType::Z2c || type == Graph3dType::C2c ? 1 : 2; }

class PanelPainter {
public:
    PanelPainter(GraphWorkspace& workspace, const Graph3dSettings& settings, const Graph3dPanelJob& job)
        : bitmap_(workspace.bitmap),
          title_font_(*workspace.title_font),
          label_font_(*workspace.label_font),
          cache_(workspace.cache),
          settings_(settings),
          job_(job),
          projection_(job.panel.side, graph3d_view_angle(job.type, job.panel.eye, settings.hroll), settings.vroll) {}

    GraphCacheKey cache_key() const {
        return {job_.function->serial, settings_.x, settings_.y, settings_.z, job_.panel.side, static_cast<int>(job_.type)};
    }
    size_t sample_count() const {
        const auto n = static_cast<size_t>(projection_.grid()) + 1;
        return std::max(n * n, static_cast<size_t>(projection_.levels()) + 1);
    }

    void draw_title() {
        const std::string title = job_.function->body + " " + graph_text(job_.label);
        draw_graph_label(bitmap_, title_font_, {title_font_.cell_width(), title_font_.cell_height() / 2}, title);
    }

    // The corner labels first, then the twelve edges over them.
    void draw_cube() {
        draw_corner_labels();
        for (int corner = 0; corner < 8; ++corner)
            for (int axis = 1; axis < 8; axis <<= 1)
                if (!(corner & axis)) draw_edge(corner, corner | axis);
    }

    // False when Ctrl-C stopped the plot before every value was in.
    bool plot(SampledFunction* function) {
        return job_.type == Graph3dType::Z2c ? plot_curve(function) : plot_surface(function);
    }

private:
    static constexpr int kX = 1, kY = 2, kZ = 4;

    std::optional<PixelPoint> corner_point(int corner) const {
        const int64_t n = projection_.grid(), m = projection_.levels();
        return projection_.project(corner & kX ? n : 0, corner & kY ? n : 0, corner & kZ ? m : 0);
    }

    void draw_edge(int from, int to) {
        const auto a = corner_point(from), b = corner_point(to);
        if (!a || !b) return;
        zov::draw_line(bitmap_, static_cast<int32_t>(a->x), static_cast<int32_t>(a->y), static_cast<int32_t>(b->x),
                       static_cast<int32_t>(b->y), kGraphBlack, 0);
    }

    void draw_corner_labels() {
        struct Label {
            int corner;
            char axis;
            bool at_max;
            int rows;  // character heights below (+) or above (-) the corner
        };
        static constexpr Label kLabels[] = {
            {0, 'x', false, 1}, {0, 'y', false, 2}, {0, 'z', false, 3},
            {kX, 'x', true, 1},
            {kY, 'y', true, 1},
            {kZ, 'z', true, -2},
            {kX | kY, 'x', true, 1}, {kX | kY, 'y', true, 2},
            {kX | kY | kZ, 'x', true, -4}, {kX | kY | kZ, 'y', true, -3}, {kX | kY | kZ, 'z', true, -2},
        };
        const int64_t cw = label_font_.cell_width(), ch = label_font_.cell_height();
        for (const Label& label : kLabels) {
            const auto corner = corner_point(label.corner);
            if (!corner) continue;
            const GraphRange& range = label.axis == 'x' ? settings_.x : label.axis == 'y' ? settings_.y : settings_.z;
            const std::string text =
                graph_number_label(std::string(1, label.axis) + "=", label.at_max ? range.max : range.min);
            draw_graph_label(bitmap_, label_font_, {corner->x - graph_label_cells(text) * cw / 2, corner->y + label.rows * ch},
                             text);
        }
    }

    const GraphSample& store(SampledFunction& function, size_t index) {
        const std::optional<Complex> value = function.evaluate();
        cache_[index] = value ? GraphSample{*value, false} : GraphSample{};
        return cache_[index];
    }

    static double between(int64_t k, int64_t steps, const GraphRange& range) {
        return (static_cast<double>(k) * range.max + static_cast<double>(steps - k) * range.min) /
               static_cast<double>(steps);
    }

    // Grid coordinate of `value` in `range` spread over `steps`; nothing outside the range.
    static std::optional<int64_t> grid_coordinate(double value, const GraphRange& range, int64_t steps) {
        if (!(value >= range.min && value <= range.max)) return std::nullopt;
        return truncate_to_pixel((value - range.min) * static_cast<double>(steps) / (range.max - range.min));
    }

    // At an angle that is not a number no point can be placed, but the values are
    // still computed: the cache counts them as held once this returns true.
    bool plot_surface(SampledFunction* function) {
        const bool placeable = projection_.angles_finite();
        for (int64_t j = 0; j <= projection_.grid(); ++j) {
            if (break_flag::is_set()) return false;
            if (function) evaluate_row(*function, j);
            if (placeable) plot_row(j);
        }
        return true;
    }

    void evaluate_row(SampledFunction& function, int64_t j) {
        const int64_t n = projection_.grid();
        const double y = between(j, n, settings_.y);
        for (int64_t i = 0; i <= n; ++i) {
            const double x = between(i, n, settings_.x);
            if (job_.type == Graph3dType::C2c) {
                function.set(0, {x, y});
            } else {
                function.set(0, {x, 0.0});
                function.set(1, {y, 0.0});
            }
            const auto index = static_cast<size_t>(j * (n + 1) + i);
            const GraphSample& f = store(function, index);
            if (f.failed) continue;
            if (job_.type == Graph3dType::Xy2c || job_.type == Graph3dType::C2c) {
                cache_.levels(0)[index] = level(f.value.re);
                cache_.levels(1)[index] = level(f.value.im);
            } else if (f.value.im >= -1e-10 && f.value.im <= 1e-10) {
                cache_.levels(0)[index] = level(f.value.re);
            }
        }
    }

    // The height step of value v, when it lies in the z range.
    int16_t level(double v) const {
        const GraphRange& z = settings_.z;
        if (!(v >= z.min && v <= z.max)) return GraphCache::kNoLevel;
        const auto m = static_cast<double>(projection_.levels());
        const double step = (v - z.min) * m / (z.max - z.min);
        if (!(step >= 0 && step < m + 1)) return GraphCache::kNoLevel;  // 0/0 of an empty range
        return static_cast<int16_t>(step);
    }

    // The inner loop of every redraw, so it works on local copies only: the pixel
    // stores could otherwise alias every value the loop reads.
    void plot_row(int64_t j) {
        const int64_t n = projection_.grid();
        const bool imaginary = (job_.type == Graph3dType::Xy2c || job_.type == Graph3dType::C2c) && job_.panel.eye == 0;
        const int16_t* levels = cache_.levels(imaginary ? 1 : 0) + j * (n + 1);
        const Graph3dProjection::GridView view = projection_.grid_view();
        const int64_t width = bitmap_.width(), height = bitmap_.height();
        uint8_t* const top_row = bitmap_.row(0);
        const auto stride = static_cast<int64_t>(bitmap_.stride());
        for (int64_t i = 0; i <= n; ++i) {
            if (levels[i] == GraphCache::kNoLevel) continue;
            const PixelPoint point = view.project(i, j, levels[i]);
            if (point.x < 0 || point.y < 0 || point.x >= width || point.y >= height) continue;
            uint8_t* pixel = top_row - point.y * stride + point.x * 3;  // rows are stored bottom-up
            pixel[0] = 0xFF;  // blue, in blue-green-red order
            pixel[1] = 0x00;
            pixel[2] = 0x00;
        }
    }

    bool plot_curve(SampledFunction* function) {
        const int64_t n = projection_.grid(), m = projection_.levels();
        for (int64_t k = 0; k <= m; ++k) {
            if (break_flag::is_set()) return false;
            const auto index = static_cast<size_t>(k);
            if (function) function->set(0, {between(k, m, settings_.z), 0.0});
            const GraphSample& f = function ? store(*function, index) : cache_[index];
            if (f.failed) continue;
            const auto x = grid_coordinate(f.value.re, settings_.x, n);
            const auto y = grid_coordinate(f.value.im, settings_.y, n);
            if (!x || !y) continue;
            if (const auto point = projection_.project(*x, *y, k))
                zov::rectangle(bitmap_, {point->x - 1, point->y - 1, point->x + 2, point->y + 2}, kGraphBlue,
                               zov::option::fill);
        }
        return true;
    }

    zov::Surface& bitmap_;
    const zov::Font& title_font_;
    const zov::Font& label_font_;
    GraphCache& cache_;
    const Graph3dSettings& settings_;
    const Graph3dPanelJob& job_;
    Graph3dProjection projection_;
};

// The whole bitmap at (x, y) of the target, clipped: a row copy per visible row.
void copy_to_target(zov::Surface& target, const zov::Surface& bitmap, const GraphPanel& panel) {
    const int64_t left = std::max<int64_t>(panel.x, 0), right = std::min<int64_t>(panel.x + panel.side, target.width());
    const int64_t top = std::max<int64_t>(panel.y, 0), bottom = std::min<int64_t>(panel.y + panel.side, target.height());
    if (left >= right) return;
    for (int64_t y = top; y < bottom; ++y)
        std::memcpy(target.row(static_cast<int>(y)) + left * 3,
                    bitmap.row(static_cast<int>(y - panel.y)) + (left - panel.x) * 3,
                    static_cast<size_t>(right - left) * 3);
}

void make_fonts(GraphWorkspace& workspace) {
    if (workspace.title_font) return;
    workspace.title_font.emplace().set_size(0, 24);
    workspace.label_font.emplace().set_size(0, 16);
}

}  // namespace

int draw_graph3d_panel(C_VMBAS& vm, zov::Surface& target, const Graph3dSettings& settings, const Graph3dPanelJob& job) {
    if (job.panel.side < 1 || job.panel.side > kMaxPanelSide) return 0;
    GraphWorkspace& workspace = vm.graph_workspace;
    if (!prepare_bitmap(workspace.bitmap, job.panel.side)) return 0;
    make_fonts(workspace);
    PanelPainter painter(workspace, settings, job);
    const GraphCacheKey key = painter.cache_key();
    const bool cached = workspace.cache.holds(key);
    if (!cached && !workspace.cache.prepare(key, painter.sample_count())) return 0;
    painter.draw_title();
    painter.draw_cube();
    {
        SampledFunction function(vm, *job.function, parameter_count(job.type));
        if (!function.bound()) return -1;
        if (painter.plot(cached ? nullptr : &function) && !cached) workspace.cache.complete();
    }
    copy_to_target(target, workspace.bitmap, job.panel);
    return 0;
}

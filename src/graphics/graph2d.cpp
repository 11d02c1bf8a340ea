// graph2d: the ranges, and the graph y = f(x) of a one-parameter user function in a
// white area with a black frame, four labels and the curve in blue.
#include <algorithm>
#include <optional>

#include "graphics/graph_function.h"
#include "graphics/graph_statement.h"
#include "interp/program_store.h"
#include "interp/statements.h"
#include "interp/vmbas.h"
#include "io/break_flag.h"
#include "values/error.h"
#include "values/text_scan.h"
#include "zov/draw.h"

namespace {

constexpr std::string_view kRangeUsage = messages::translatable("使用例:graph2d xrange/yrange -2,2");
constexpr std::string_view kGraphUsage = messages::translatable("使用例:graph2d \"x2y\",FNx[,0,0,800,600]");

void draw_frame(zov::Surface& surface, const PixelArea& plot) {
    zov::rectangle(surface, {plot.x, plot.y, plot.x + plot.width, plot.y + plot.height}, kGraphBlack, 0);
}

// The ranges below the frame at its two ends, the top of the y range and the
// function's text above it.
void draw_labels(const GraphRequest& request, const Graph2dSettings& settings, const PixelArea& plot) {
    zov::Surface& surface = *request.surface;
    const zov::Font& font = *request.font;
    const int64_t cw = font.cell_width();
    const int64_t half_ch = font.cell_height() / 2;
    const int64_t below = plot.y + plot.height + half_ch;
    const int64_t above = request.area.y + half_ch;
    const auto right_aligned = [&](const std::string& text) { return plot.x + plot.width - graph_label_cells(text) * cw; };

    draw_graph_label(surface, font, {plot.x, below},
                     graph_number_label("x=", settings.x.min) + graph_number_label(" y=", settings.y.min));
    const std::string xmax = graph_number_label("x=", settings.x.max);
    draw_graph_label(surface, font, {right_aligned(xmax), below}, xmax);
    draw_graph_label(surface, font, {plot.x, above}, graph_number_label("y=", settings.y.max));
    const std::string body = graph_text("関数 y=") + request.function->body;
    draw_graph_label(surface, font, {right_aligned(body), above}, body);
}

// The point of the curve at column i, when the value there is real and in range.
std::optional<PixelPoint> curve_point(SampledFunction& function, int64_t i, const PixelArea& plot,
                                      const Graph2dSettings& settings) {
    function.set(0, {graph2d_sample_x(i, plot.width, settings.x), 0.0});
    const std::optional<Complex> value = function.evaluate();
    if (!value || !is_real_value(*value)) return std::nullopt;
    if (!(value->re >= settings.y.min && value->re <= settings.y.max)) return std::nullopt;
    const std::optional<int64_t> row = graph2d_row(value->re, plot, settings.y);
    if (!row || !fits_32_bits(*row)) return std::nullopt;
    return PixelPoint{plot.x + i, *row};
}

// Columns left or right of the surface colour nothing, except the one next to each
// edge, whose line reaches into the surface; only the columns that can show are
// sampled, so a huge area costs no more than the surface's width.
void draw_curve(SampledFunction& function, zov::Surface& surface, const PixelArea& plot,
                const Graph2dSettings& settings) {
    const int64_t first = std::max<int64_t>(0, -1 - plot.x);
    const int64_t last = std::min<int64_t>(plot.width - 1, int64_t{surface.width()} - plot.x);
    std::optional<PixelPoint> previous;
    for (int64_t i = first; i <= last; ++i) {
        if (break_flag::is_set()) return;
        const std::optional<PixelPoint> point = curve_point(function, i, plot, settings);
        if (point && previous) {
            zov::draw_line(surface, static_cast<int32_t>(previous->x), static_cast<int32_t>(previous->y),
                           static_cast<int32_t>(point->x), static_cast<int32_t>(point->y), kGraphBlue, 0);
        } else if (point) {
            surface.set_pixel(static_cast<int>(point->x), static_cast<int>(point->y), kGraphBlue);
        }
        previous = point;
    }
}

int draw_graph2d(C_VMBAS& vm, const GraphRequest& request, const Graph2dSettings& settings) {
    if (!has_numeric_parameters(*request.function, 1)) return vm_error::fail("関数引数が x でない");
    const PixelArea& area = request.area;
    zov::draw_box(*request.surface, static_cast<int32_t>(area.x), static_cast<int32_t>(area.y),
                  static_cast<int32_t>(area.width), static_cast<int32_t>(area.height), kGraphWhite, zov::option::fill);
    const PixelArea plot = graph2d_plot_area(area, request.font->cell_width(), request.font->cell_height());
    if (!graph2d_area_usable(plot)) return vm_error::fail("描画領域が不足");
    draw_frame(*request.surface, plot);
    draw_labels(request, settings, plot);
    SampledFunction function(vm, *request.function, 1);
    if (!function.bound()) return -1;
    if (fits_32_bits(plot.x)) draw_curve(function, *request.surface, plot, settings);
    return 0;
}

}  // namespace

int stmt_graph2d(C_VMBAS& vm, const char*& p) {
    Graph2dSettings& settings = vm.graph_settings.graph2d;
    if (at_statement_end(skip_blanks(p))) {
        settings = {};
        return 0;
    }
    if (match_keyword(p, "xrange") == 0) return parse_graph_range(vm, p, kRangeUsage, settings.x);
    if (match_keyword(p, "yrange") == 0) return parse_graph_range(vm, p, kRangeUsage, settings.y);
    GraphRequest request;
    if (parse_graph_request(vm, p, kGraphUsage, request) < 0) return -1;
    if (!equals_nocase(request.type, "x2y")) return vm_error::fail("グラフタイプ x2y 等が無効");
    return draw_graph2d(vm, request, settings);
}

// Parsing shared by the graph statements, and the labels they draw.
#include "graphics/graph_statement.h"

#include <cstdio>

#include "graphics/graph_function.h"
#include "graphics/graphics_state.h"
#include "interp/vmbas.h"
#include "io/code_page.h"
#include "values/error.h"
#include "values/evaluator.h"
#include "values/text_scan.h"

namespace {

int parse_area(C_VMBAS& vm, const char*& p, PixelArea& area) {
    int32_t x, y, width, height;
    if (eval_int32(vm, p, &x) < 0 || match_keyword(p, ",") < 0 || eval_int32(vm, p, &y) < 0 ||
        match_keyword(p, ",") < 0 || eval_int32(vm, p, &width) < 0 || match_keyword(p, ",") < 0 ||
        eval_int32(vm, p, &height) < 0)
        return -1;
    area = {x, y, width, height};
    return 0;
}

}  // namespace

int parse_graph_request(C_VMBAS& vm, const char*& p, std::string_view usage, GraphRequest& request) {
    const int32_t n = vm.graphics.current_window;
    request.surface = gw_surface(vm, n);
    if (!request.surface) return vm_error::fail(usage);
    request.font = &*vm.graphics.windows[static_cast<size_t>(n)].font;  // made by gopen
    C_STR type;
    if (eval_string_value(vm, p, type) < 0 || match_keyword(p, ",") < 0) return vm_error::fail(usage);
    request.type = std::string(type.view());
    request.function = scan_graph_function(vm, p);
    if (!request.function) return vm_error::fail(usage);
    request.area = {0, 0, request.surface->width(), request.surface->height()};
    if (match_keyword(p, ",") == 0 && parse_area(vm, p, request.area) < 0) return vm_error::fail(usage);
    return 0;
}

int parse_graph_range(C_VMBAS& vm, const char*& p, std::string_view usage, GraphRange& range) {
    double min, max;
    if (eval_real(vm, p, &min) < 0 || match_keyword(p, ",") < 0 || eval_real(vm, p, &max) < 0)
        return vm_error::fail(usage);
    range = {min, max};
    return 0;
}

int parse_graph_angle(C_VMBAS& vm, const char*& p, std::string_view usage, double& angle) {
    return eval_real(vm, p, &angle) < 0 ? vm_error::fail(usage) : 0;
}

zov::TextEncoding graph_text_encoding() {
    return console_code_page() == CodePage::ShiftJis ? zov::TextEncoding::ShiftJis : zov::TextEncoding::Utf8;
}

std::string graph_text(std::string_view utf8) { return to_console_text(messages::localized(utf8)); }

void draw_graph_label(zov::Surface& surface, const zov::Font& font, PixelPoint at, std::string_view text) {
    if (!fits_32_bits(at.x) || !fits_32_bits(at.y)) return;
    zov::draw_text(surface, font, static_cast<int32_t>(at.x), static_cast<int32_t>(at.y), text, kGraphBlack, -1,
                   graph_text_encoding());
}

int64_t graph_label_cells(std::string_view text) { return zov::text_cells(text, graph_text_encoding()); }

std::string graph_number_label(std::string_view prefix, double value) {
    char digits[64];
    std::snprintf(digits, sizeof digits, "%g", value);
    return std::string(prefix) + digits;
}

// Reading a window's mouse, size and pixels, naming colours, and the table through
// which the evaluator calls them.
#include "graphics/graphics_functions.h"

#include "graphics/graphics_state.h"
#include "interp/vmbas.h"
#include "values/text_scan.h"
#include "zov/draw.h"

int32_t gmouse_value(C_VMBAS& vm, std::string_view key) {
    const int32_t n = vm.graphics.current_window;
    C_GWIN& gwin = vm.graphics.windows[static_cast<size_t>(n >= 0 && n <= 9 ? n : 0)];
    if (!gwin.is_open()) return 0;
    zov::MouseCounters& mouse = gwin.window->mouse();
    auto pointer = [&] { return gwin.window->pointer(); };
    if (equals_nocase(key, "xp")) return pointer().x;
    if (equals_nocase(key, "yp")) return pointer().y;
    if (equals_nocase(key, "lon")) return pointer().left ? 1 : 0;
    if (equals_nocase(key, "ron")) return pointer().right ? 1 : 0;
    if (equals_nocase(key, "lct")) return mouse.left_clicks;
    if (equals_nocase(key, "rct")) return mouse.right_clicks;
    if (equals_nocase(key, "hct")) return mouse.wheel_clicks;
    if (equals_nocase(key, "hp")) return mouse.wheel_pos;
    if (equals_nocase(key, "cxp")) return zov::drag_reading(mouse, pointer().x, mouse.drag_x);
    if (equals_nocase(key, "cyp")) return zov::drag_reading(mouse, pointer().y, mouse.drag_y);
    if (equals_nocase(key, "reset")) mouse.reset();
    return 0;
}

int32_t gsize_value(C_VMBAS& vm, bool width) {
    const zov::Surface* surface = gw_surface(vm, vm.graphics.current_window);
    if (!surface) return 0;
    return width ? surface->width() : surface->height();
}

// A point outside the surface reads as -1, of which the value keeps the low 24 bits.
int32_t gget_value(C_VMBAS& vm, int32_t x, int32_t y) {
    const zov::Surface* surface = gw_surface(vm, vm.graphics.current_window);
    if (!surface) return 0;
    return zov::read_pixel(*surface, x, y) & 0xFFFFFF;
}

int32_t gcolor_value(std::string_view name) {
    struct Named {
        std::string_view name;
        int32_t rgb;
    };
    // "yallow" is the name programs use for yellow.
    static constexpr Named kColours[] = {
        {"black", 0x000000},   {"gray", 0xC0C0C0},  {"blue", 0xFF0000},  {"red", 0x0000FF},     {"magenta", 0xFF00FF},
        {"green", 0x00FF00},   {"cyan", 0xFFFF00},  {"yallow", 0x00FFFF}, {"white", 0xFFFFFF},
    };
    for (const Named& colour : kColours)
        if (equals_nocase(name, colour.name)) return colour.rgb;
    return 0;
}

namespace {

Complex real(double x) { return {x, 0.0}; }

// In the order in which the candidates of the "g" group are tried.
constexpr BuiltinFunction kGraphicsFunctions[] = {
    {"gmouse", "s", [](EvalContext& vm, const BuiltinArgs& a, Complex& o) {
         o = real(gmouse_value(interpreter_of(vm), a.s[0].view()));
         return 0;
     }},
    {"gsizex", "", [](EvalContext& vm, const BuiltinArgs&, Complex& o) { o = real(gsize_value(interpreter_of(vm), true)); return 0; }},
    {"gsizey", "", [](EvalContext& vm, const BuiltinArgs&, Complex& o) { o = real(gsize_value(interpreter_of(vm), false)); return 0; }},
    {"gget", "ll", [](EvalContext& vm, const BuiltinArgs& a, Complex& o) {
         o = real(gget_value(interpreter_of(vm), a.l[0], a.l[1]));
         return 0;
     }},
    {"grgb", "lll", [](EvalContext&, const BuiltinArgs& a, Complex& o) {
         o = real((a.l[2] & 255) * 65536 + (a.l[1] & 255) * 256 + (a.l[0] & 255));
         return 0;
     }},
    {"gcolor", "s", [](EvalContext&, const BuiltinArgs& a, Complex& o) { o = real(gcolor_value(a.s[0].view())); return 0; }},
    {"grgb2r", "l", [](EvalContext&, const BuiltinArgs& a, Complex& o) { o = real(a.l[0] & 255); return 0; }},
    {"grgb2g", "l", [](EvalContext&, const BuiltinArgs& a, Complex& o) { o = real((a.l[0] >> 8) & 255); return 0; }},
    {"grgb2b", "l", [](EvalContext&, const BuiltinArgs& a, Complex& o) { o = real((a.l[0] >> 16) & 255); return 0; }},
};

}  // namespace

void register_graphics_functions(C_VMBAS& vm) { vm.libraries.add(kGraphicsFunctions); }

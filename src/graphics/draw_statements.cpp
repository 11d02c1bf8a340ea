// The drawing statements over the current window's surface: gbox, gline, gcircle,
// goval, gput, gpaint, gscroll, gclear and gcopy. Each checks the window first, so a
// window that is not usable is reported before any argument; what the surface
// operation itself returns is not checked, as nothing drawn is not a failure.
#include "graphics/draw_options.h"
#include "graphics/graphics_state.h"
#include "interp/statements.h"
#include "interp/vmbas.h"
#include "values/error.h"
#include "values/text_scan.h"
#include "zov/draw.h"

namespace {

zov::Surface* current_surface(C_VMBAS& vm) { return gw_surface(vm, vm.graphics.current_window); }

using ShapeWithOptions = int (*)(zov::Surface&, int32_t, int32_t, int32_t, int32_t, uint32_t, uint32_t);

// x,y,a,b,rgb[,options]: the shape statements with four numbers before the colour.
int four_numbers_and_options(C_VMBAS& vm, const char*& p, std::string_view usage, ShapeWithOptions draw) {
    zov::Surface* surface = current_surface(vm);
    if (!surface) return -1;
    int32_t x, y, a, b, rgb;
    if (parse_int_list(vm, p, {&x, &y, &a, &b, &rgb}) < 0) return vm_error::fail(usage);
    uint32_t options;
    if (parse_draw_options(p, options) < 0) return -1;
    draw(*surface, x, y, a, b, colour_of(rgb), options);
    return 0;
}

}  // namespace

int stmt_gbox(C_VMBAS& vm, const char*& p) {
    return four_numbers_and_options(vm, p, "使用法:gbox x,y,xw,yw,rgb[,fill/dash/xor/bold]", zov::draw_box);
}

int stmt_gline(C_VMBAS& vm, const char*& p) {
    return four_numbers_and_options(vm, p, "使用法:gline x1,y1,x2,y2,rgb[,dash/xor/bold]", zov::draw_line);
}

int stmt_goval(C_VMBAS& vm, const char*& p) {
    return four_numbers_and_options(vm, p, "使用法:goval x,y,xr,yr,rgb[,fill/dash/xor/bold]", zov::draw_oval);
}

int stmt_gcircle(C_VMBAS& vm, const char*& p) {
    zov::Surface* surface = current_surface(vm);
    if (!surface) return -1;
    int32_t x, y, r, rgb;
    if (parse_int_list(vm, p, {&x, &y, &r, &rgb}) < 0)
        return vm_error::fail("使用法:gcircle x,y,rw,rgb[,fill/dash/xor/bold]");
    uint32_t options;
    if (parse_draw_options(p, options) < 0) return -1;
    zov::draw_circle(*surface, x, y, r, colour_of(rgb), options);
    return 0;
}

int stmt_gput(C_VMBAS& vm, const char*& p) {
    zov::Surface* surface = current_surface(vm);
    if (!surface) return -1;
    int32_t x, y, rgb;
    if (parse_int_list(vm, p, {&x, &y, &rgb}) < 0) return vm_error::fail("使用法:gput x,y,rgb");
    surface->set_pixel(x, y, colour_of(rgb));
    return 0;
}

int stmt_gpaint(C_VMBAS& vm, const char*& p) {
    zov::Surface* surface = current_surface(vm);
    if (!surface) return -1;
    int32_t x, y, rgb;
    if (parse_int_list(vm, p, {&x, &y, &rgb}) < 0) return vm_error::fail("使用法:gpaint x,y,rgb");
    zov::flood_fill(*surface, x, y, colour_of(rgb));
    return 0;
}

int stmt_gscroll(C_VMBAS& vm, const char*& p) {
    zov::Surface* surface = current_surface(vm);
    if (!surface) return -1;
    int32_t xs, ys, rgb;
    if (parse_int_list(vm, p, {&xs, &ys, &rgb}) < 0) return vm_error::fail("使用法:gscroll xs,ys,rgb");
    zov::scroll(*surface, xs, ys, colour_or_none(rgb));
    return 0;
}

int stmt_gclear(C_VMBAS& vm, const char*& p) {
    zov::Surface* surface = current_surface(vm);
    if (!surface) return -1;
    int32_t rgb;
    if (parse_int_list(vm, p, {&rgb}) < 0) return vm_error::fail("使用法:gclear rgb");
    zov::clear(*surface, colour_or_none(rgb));
    return 0;
}

// The destination is checked first, then all nine numbers are read, then the source.
int stmt_gcopy(C_VMBAS& vm, const char*& p) {
    zov::Surface* destination = current_surface(vm);
    if (!destination) return -1;
    int32_t x, y, xw, yw, n, sx, sy, sxw, syw;
    if (parse_int_list(vm, p, {&x, &y, &xw, &yw, &n, &sx, &sy, &sxw, &syw}) < 0)
        return vm_error::fail("使用法:gcopy x,y,xw,yw,1~9,x,y,xw,yw");
    const zov::Surface* source = gw_surface(vm, n);
    if (!source) return -1;
    zov::stretch_copy(*destination, x, y, xw, yw, *source, sx, sy, sxw, syw);
    return 0;
}

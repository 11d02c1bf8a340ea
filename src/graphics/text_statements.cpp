// Text in a window: gputs draws a string in the window's font, gfont sets its cell size.
#include "graphics/draw_options.h"
#include "graphics/graphics_state.h"
#include "interp/statements.h"
#include "interp/vmbas.h"
#include "io/code_page.h"
#include "values/error.h"
#include "values/evaluator.h"
#include "values/text_scan.h"
#include "zov/font.h"

int stmt_gputs(C_VMBAS& vm, const char*& p) {
    constexpr std::string_view kUsage = messages::translatable("使用法:gputs x,y,文字列,rgb[,rgb]");
    zov::Surface* surface = gw_surface(vm, vm.graphics.current_window);
    if (!surface) return -1;
    int32_t x, y, fg, bg = -1;
    C_STR text;
    if (parse_int_list(vm, p, {&x, &y}) < 0 || match_keyword(p, ",") < 0 || eval_string_value(vm, p, text) < 0 ||
        match_keyword(p, ",") < 0 || eval_int32(vm, p, &fg) < 0)
        return vm_error::fail(kUsage);
    if (match_keyword(p, ",") == 0 && eval_int32(vm, p, &bg) < 0) return vm_error::fail(kUsage);
    const auto encoding =
        console_code_page() == CodePage::ShiftJis ? zov::TextEncoding::ShiftJis : zov::TextEncoding::Utf8;
    const C_GWIN& gwin = vm.graphics.windows[static_cast<size_t>(vm.graphics.current_window)];
    zov::draw_text(*surface, *gwin.font, x, y, text.view(), colour_of(fg), colour_or_none(bg), encoding);
    return 0;
}

int stmt_gfont(C_VMBAS& vm, const char*& p) {
    if (!gw_surface(vm, vm.graphics.current_window)) return -1;
    int32_t width, height;
    if (parse_int_list(vm, p, {&width, &height}) < 0) return vm_error::fail("使用法:gfont x,y");
    vm.graphics.windows[static_cast<size_t>(vm.graphics.current_window)].font->set_size(width, height);
    return 0;
}

// The window service of the interpreter: gopen, gclose, gselect, gactive and gmove,
// the window check every drawing statement makes, and the refresh of changed windows.
#include <time.h>

#include <cstdio>
#include <new>
#include <string>

#include "base/diagnostics.h"
#include "graphics/graphics_state.h"
#include "graphics/memory_budget.h"
#include "interp/program_store.h"
#include "interp/statements.h"
#include "interp/vmbas.h"
#include "values/error.h"
#include "values/evaluator.h"
#include "values/text_scan.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr int kMaxWidth = 19200;
constexpr int kMaxHeight = 10800;

bool is_window_number(int32_t n) { return n >= 1 && n <= 9; }

std::string window_title(int32_t n) {
    char title[64];
    const std::string format(messages::localized("%s 描画画面 %d"));
    std::snprintf(title, sizeof title, format.c_str(), "Velmora BASIC V2.00", static_cast<int>(n));
    return title;
}

int parse_size(C_VMBAS& vm, const char*& p, int32_t& w, int32_t& h) {
    w = 800;
    h = 600;
    if (match_keyword(p, ",") < 0) return 0;
    if (eval_int32(vm, p, &w) < 0 || match_keyword(p, ",") < 0 || eval_int32(vm, p, &h) < 0) return -1;
    return w >= 1 && h >= 1 && w <= kMaxWidth && h <= kMaxHeight ? 0 : -1;
}

// A new white surface; the old one is freed first so two never coexist.
int make_surface(C_GWIN& gwin, int32_t w, int32_t h) {
    gwin.surface = zov::Surface();
    try {
        gwin.surface = zov::Surface(w, h, kWhite);
    } catch (const std::bad_alloc&) {
        return vm_error::fail("描画メモリ不足");
    }
    return 0;
}

int open_window(C_GWIN& gwin, int32_t n, int32_t w, int32_t h) {
    std::string failure;
    gwin.window = zov::Window::open(n, w, h, window_title(n), failure);
    if (!gwin.window) {
        ZOV_REPORT(failure);
        return vm_error::fail("描画ウインドウを開けない");
    }
    return 0;
}

void present(C_GWIN& gwin) {
    gwin.changed = false;
    if (gwin.is_open() && !gwin.surface.empty()) gwin.window->present(gwin.surface);
}

// The coarse clock (a few ms of resolution) costs a fraction of the precise one, and
// a running program reads it before every statement.
int64_t milliseconds_now() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    return int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

}  // namespace

zov::Surface* gw_surface(C_VMBAS& vm, int32_t n) {
    if (!is_window_number(n)) {
        vm_error::fail("描画ウインドウ番号が無効");
        return nullptr;
    }
    C_GWIN& gwin = vm.graphics.windows[static_cast<size_t>(n)];
    if (!gwin.is_open() || gwin.window->hidden()) {
        vm_error::fail("描画ウインドウ・クローズ");
        return nullptr;
    }
    if (gwin.surface.empty()) {
        vm_error::fail("描画ウインドウが無効");
        return nullptr;
    }
    gwin.mark_changed();
    return &gwin.surface;
}

void gw_refresh(C_VMBAS& vm, RefreshMode mode, int32_t n) {
    GraphicsState& graphics = vm.graphics;
    switch (mode) {
        case REFRESH_MARK:
            if (is_window_number(n)) graphics.windows[static_cast<size_t>(n)].mark_changed();
            return;
        case REFRESH_TICK: {
            if (!graphics.refresh.active() || (++graphics.statements_unclocked & 15) != 0) return;
            const int64_t started = milliseconds_now();
            const int64_t tick = started / 10;
            if (tick == graphics.last_tick) return;
            graphics.last_tick = tick;
            C_GWIN& gwin = graphics.windows[static_cast<size_t>(graphics.refresh_index)];
            if (gwin.changed && tick >= gwin.next_tick) {
                present(gwin);
                gwin.next_tick = tick + 1 + (milliseconds_now() - started);
            }
            graphics.refresh_index = graphics.refresh_index % 9 + 1;
            return;
        }
        case REFRESH_ALL:
            if (!graphics.refresh.active()) return;
            for (int i = 1; i <= 9; ++i)
                if (graphics.windows[static_cast<size_t>(i)].changed) present(graphics.windows[static_cast<size_t>(i)]);
            graphics.refresh_index = 1;
            return;
    }
}

int stmt_gopen(C_VMBAS& vm, const char*& p) {
    constexpr std::string_view kUsage = messages::translatable("使用法:gopen 1~9[,横画素,縦画素]");
    int32_t n, w, h;
    if (eval_int32(vm, p, &n) < 0 || !is_window_number(n) || parse_size(vm, p, w, h) < 0) return vm_error::fail(kUsage);
    C_GWIN& gwin = vm.graphics.windows[static_cast<size_t>(n)];
    const bool shown = zov::display_available();
    if (!enough_memory_for_window(vm, n, w, h, shown)) return vm_error::fail("描画メモリ不足");
    vm.graphics.current_window = n;
    if (!gwin.is_open() || gwin.window->lost()) {
        if (open_window(gwin, n, w, h) < 0) return -1;
    } else if (!gwin.window->set_client_size(w, h)) {
        ZOV_REPORT("larger than the window system allows");
        return vm_error::fail("描画ウインドウを開けない");
    }
    if (!gwin.window->headless()) vm.graphics.refresh.start();
    gwin.font.emplace();
    if (make_surface(gwin, w, h) < 0) return -1;
    // The white picture goes to the screen now: the next statement may take long.
    gwin.mark_changed();
    present(gwin);
    gwin.window->set_hidden(false);
    return 0;
}

int stmt_gclose(C_VMBAS& vm, const char*& p) {
    GraphicsState& graphics = vm.graphics;
    auto hide = [&](int32_t n) {
        C_GWIN& gwin = graphics.windows[static_cast<size_t>(n)];
        if (!gwin.is_open() || gwin.window->hidden()) return;
        gwin.window->set_hidden(true);
        if (n == graphics.current_window) graphics.current_window = 0;
    };
    if (at_statement_end(skip_blanks(p))) {
        for (int32_t n = 1; n <= 9; ++n) hide(n);
        graphics.current_window = 0;
        return 0;
    }
    for (;;) {
        int32_t n;
        if (eval_int32(vm, p, &n) < 0 || !is_window_number(n)) return vm_error::fail("使用法:gclose [窓番号,…]");
        hide(n);
        if (match_keyword(p, ",") < 0) return 0;
    }
}

int stmt_gselect(C_VMBAS& vm, const char*& p) {
    int32_t n;
    if (eval_int32(vm, p, &n) < 0 || !is_window_number(n)) return vm_error::fail("使用法:gselect 窓番号1~9");
    if (!vm.graphics.windows[static_cast<size_t>(n)].is_open()) return vm_error::fail("描画ウインドウが無効");
    vm.graphics.current_window = n;
    return 0;
}

// The console is a terminal here: gactive 0 hands the focus to its window where the
// desktop can say which that is, and otherwise leaves the focus where it is.
int stmt_gactive(C_VMBAS& vm, const char*& p) {
    int32_t n;
    if (eval_int32(vm, p, &n) < 0 || n < 0 || n > 9) return vm_error::fail("使用法:gactive 窓番号1~9 or 0");
    if (n == 0) {
        zov::activate_terminal();
        return 0;
    }
    C_GWIN& gwin = vm.graphics.windows[static_cast<size_t>(n)];
    if (!gwin.is_open() || gwin.window->hidden()) return vm_error::fail("描画ウインドウが無効");
    gwin.window->activate();
    return 0;
}

int stmt_gmove(C_VMBAS& vm, const char*& p) {
    constexpr std::string_view kUsage = messages::translatable("使用法:gmove x,y");
    int32_t x, y;
    if (!gw_surface(vm, vm.graphics.current_window)) return vm_error::fail(kUsage);
    if (eval_int32(vm, p, &x) < 0 || match_keyword(p, ",") < 0 || eval_int32(vm, p, &y) < 0)
        return vm_error::fail(kUsage);
    vm.graphics.windows[static_cast<size_t>(vm.graphics.current_window)].window->move_to(x, y);
    return 0;
}

// locate, cls, width and console: cursor, screen, wrap width and window size.
#include <string>

#include "interp/statements.h"
#include "interp/vmbas.h"
#include "io/console_writer.h"
#include "io/terminal.h"
#include "values/error.h"
#include "values/evaluator.h"
#include "values/text_scan.h"

namespace {

int clamp(int64_t value, int low, int high) { return static_cast<int>(std::max<int64_t>(low, std::min<int64_t>(value, high))); }

void set_cursor(C_VMBAS& vm, int column, int row) {
    terminal_move_cursor(column, row);
    vm.io.record(CHANNEL_CONSOLE).column = column;
}

// Two numbers "x, y"; y is read as a 32-bit integer.
int read_pair(C_VMBAS& vm, const char*& p, Complex& x, int32_t& y) {
    if (eval_expr(vm, p, x) < 0) return -1;
    p = skip_blanks(p);
    if (*p != ',') return -1;
    ++p;
    return eval_int32(vm, p, &y);
}

int console_size(C_VMBAS& vm, const char*& p) {
    Complex x;
    int32_t y;
    if (read_pair(vm, p, x, y) < 0) return vm_error::fail("コンソールサイズが必要");
    const int columns = clamp(to_int64(x.re), 1, 8000), rows = clamp(y, 1, 2500);
    vm.io.record(CHANNEL_CONSOLE).column = 0;
    if (!terminal_resize(columns, rows)) return vm_error::fail("コンソールサイズ変更失敗");
    return 0;
}

// A terminal program cannot choose the terminal's font.
int console_font(C_VMBAS& vm, const char*& p) {
    Complex y;
    if (eval_expr(vm, p, y) < 0) return vm_error::fail("フォントサイズが必要");
    return vm_error::fail("フォントサイズ変更失敗");
}

}  // namespace

int stmt_locate(C_VMBAS& vm, const char*& p) {
    TerminalSize size;
    Complex x;
    int32_t y;
    if (!terminal_size(size) || read_pair(vm, p, x, y) < 0) return vm_error::fail("カーソル位置が必要");
    const int column = clamp(to_int64(x.re), 1, size.columns) - 1;
    const int row = clamp(y, 1, size.rows) - 1;
    set_cursor(vm, column, row);
    return 0;
}

int stmt_cls(C_VMBAS& vm, const char*&) {
    TerminalSize size;
    if (!terminal_size(size)) return 0;
    set_cursor(vm, 0, 0);
    console_writer::write(std::string(static_cast<size_t>(size.columns) * static_cast<size_t>(size.rows), ' '));
    set_cursor(vm, 0, 0);
    return 0;
}

int stmt_width(C_VMBAS& vm, const char*& p) {
    const int channel = match_keyword(p, "lprint") == 0 ? CHANNEL_PRINTER : CHANNEL_CONSOLE;
    Complex n;
    if (eval_expr(vm, p, n) < 0) return vm_error::fail("幅指定が必要");
    const int64_t width = to_int64(n.re);
    if (n.im != 0.0 || width < 15 || width > 255) return vm_error::fail("幅指定が無効");
    vm.io.record(channel).width = width == 255 ? 0 : static_cast<int32_t>(width);
    return 0;
}

int stmt_console(C_VMBAS& vm, const char*& p) {
    if (match_keyword(p, "size") == 0) return console_size(vm, p);
    if (match_keyword(p, "font") == 0) return console_font(vm, p);
    return vm_error::fail("使用法:console size x,y|font y");
}

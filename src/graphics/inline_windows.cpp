// Showing headless windows in the terminal, and the wait for shown windows at the end
// of a command-line program.
#include "graphics/inline_windows.h"

#include <poll.h>
#include <unistd.h>

#include <string>
#include <string_view>

#include "graphics/graphics_state.h"
#include "graphics/window_pictures.h"
#include "interp/vmbas.h"
#include "io/break_flag.h"
#include "io/code_page.h"
#include "io/console_input.h"
#include "io/console_writer.h"
#include "io/inline_picture.h"
#include "io/terminal_graphics.h"
#include "values/messages.h"

namespace {

constexpr int kWaitTurnMilliseconds = 100;

bool headless_window_drawn(const C_VMBAS& vm) {
    for (const C_GWIN& gwin : vm.graphics.windows)
        if (gwin.drawn_since_viewed && gwin.is_open() && gwin.window->headless()) return true;
    return false;
}

bool window_on_desktop(const C_VMBAS& vm) {
    for (const C_GWIN& gwin : vm.graphics.windows)
        if (gwin.is_open() && !gwin.window->headless() && !gwin.window->hidden()) return true;
    return false;
}

void write_out(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (n <= 0) return;
        bytes.remove_prefix(size_t(n));
    }
}

// Pictures go on rows of their own: a prompt already on its row is taken off and
// written again below them. They pass the writer by, which keeps the row it wrote.
void write_above_row(const std::string& shown) {
    console_writer::flush();
    const std::string row(console_writer::current_row());
    write_out(row.empty() ? shown : "\r\x1b[K" + shown + row);
}

void tell_once(C_VMBAS& vm) {
    if (vm.graphics.told_headless) return;
    vm.graphics.told_headless = true;
    write_above_row(to_console_text(messages::localized("描画ウインドウは画面なしで表示されない (gsave で画像ファイルに保存できる)")) + "\n");
}

bool key_arrives(int milliseconds) {
    if (keys_buffered()) return true;
    pollfd request{STDIN_FILENO, POLLIN, 0};
    return poll(&request, 1, milliseconds) > 0;
}

// Until the last window is closed, Enter, end of input or Ctrl-C.
void wait_for_windows(C_VMBAS& vm) {
    gw_refresh(vm, REFRESH_ALL);
    vm.io.put_text(CHANNEL_CONSOLE, messages::localized("描画ウインドウを表示中: 全部閉じるか Enter キーで終了\n"));
    console_writer::flush();
    while (window_on_desktop(vm) && !break_flag::is_set()) {
        if (!key_arrives(kWaitTurnMilliseconds)) continue;
        const int key = read_console_key();
        if (key < 0 || key == '\r' || key == '\n') break;
    }
    break_flag::clear();
}

}  // namespace

void show_windows_in_terminal(C_VMBAS& vm) {
    if (!headless_window_drawn(vm)) return;
    const InlineProtocol protocol = inline_protocol();
    if (protocol == InlineProtocol::None) return;
    if (protocol == InlineProtocol::Silent) return tell_once(vm);
    const TerminalCells cells = terminal_cells();
    std::string shown;
    for (const WindowPicture& picture : changed_pictures(vm)) shown += inline_picture(*picture.picture, protocol, cells);
    if (!shown.empty()) write_above_row(shown);
}

void windows_at_program_end(C_VMBAS& vm) {
    show_windows_in_terminal(vm);
    if (isatty(STDIN_FILENO) && window_on_desktop(vm)) wait_for_windows(vm);
}

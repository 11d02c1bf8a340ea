// TIOCGWINSZ and ANSI escape sequences.
#include "io/terminal.h"

#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "io/console_input.h"
#include "io/console_writer.h"
#include "io/terminal_signals.h"

bool terminal_size(TerminalSize& size) {
    winsize window{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &window) != 0 || window.ws_col == 0 || window.ws_row == 0) return false;
    size = {window.ws_col, window.ws_row};
    return true;
}

void terminal_move_cursor(int column, int row) {
    char sequence[32];
    std::snprintf(sequence, sizeof sequence, "\x1b[%d;%dH", row + 1, column + 1);
    console_writer::write(sequence);
    console_writer::flush();
}

bool terminal_resize(int columns, int rows) {
    const char* term = std::getenv("TERM");
    if (!isatty(STDOUT_FILENO) || !term || std::strncmp(term, "xterm", 5) != 0) return false;
    char sequence[32];
    std::snprintf(sequence, sizeof sequence, "\x1b[8;%d;%dt", rows, columns);
    console_writer::write(sequence);
    console_writer::flush();
    return true;
}

namespace {
// The terminal's mode at start, restored at exit: one for the process, as the terminal is.
termios original_mode{};
bool mode_saved = false;
}  // namespace

void make_interpreters_mode(termios& mode) {
    mode.c_lflag &= static_cast<tcflag_t>(~ECHOCTL);
    mode.c_lflag |= NOFLSH;
}

TerminalModeGuard::TerminalModeGuard() {
    if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &original_mode) != 0) return;
    mode_saved = true;
    terminal_signals::keep_mode_at_start(original_mode);
    termios quiet = original_mode;
    make_interpreters_mode(quiet);
    terminal_signals::set_mode(quiet);
}

TerminalModeGuard::~TerminalModeGuard() {
    leave_key_mode();
    if (mode_saved) tcsetattr(STDIN_FILENO, TCSANOW, &original_mode);
}

// The terminal behind the console: its size, cursor moves and clearing, driven by
// ANSI escape sequences.
#pragma once

struct TerminalSize {
    int columns = 0;
    int rows = 0;
};

// False when standard output is no terminal (or its size is unknown).
bool terminal_size(TerminalSize& size);
void terminal_move_cursor(int column, int row);
// The xterm window-size request; false when the terminal is not xterm-compatible.
bool terminal_resize(int columns, int rows);

struct termios;

// The terminal's mode `mode` as the interpreter keeps it: the terminal echoes no "^C"
// itself, since the interpreter reports Ctrl-C in its own words, and a Ctrl-C drops
// none of the output still on its way, which that "^C" must follow.
void make_interpreters_mode(termios& mode);

// Keeps the terminal in the interpreter's mode and restores the original mode when it
// goes, at exit included.
class TerminalModeGuard {
public:
    TerminalModeGuard();
    ~TerminalModeGuard();
    TerminalModeGuard(const TerminalModeGuard&) = delete;
    TerminalModeGuard& operator=(const TerminalModeGuard&) = delete;
};

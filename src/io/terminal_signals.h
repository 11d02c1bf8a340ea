// Signals from the terminal: a change of window size, and the return from a stop
// (Ctrl-Z, then fg). The handlers only note them, except that the return from a stop
// also puts back the terminal mode the interpreter last set: the shell leaves its own.
#pragma once
#include <termios.h>

namespace terminal_signals {

void install();

// Sets the mode of standard input and keeps it for the return from a stop.
bool set_mode(const termios& mode);
// Keeps the mode standard input has now (set by the line editor).
void keep_current_mode();
// A child process owns the terminal until the next mode is set or kept: its own
// return from a stop sets the mode it needs.
void leave_mode_to_child();

// Each true once after the event.
bool take_resize();
bool take_continue();

}  // namespace terminal_signals

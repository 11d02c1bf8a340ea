// Signals from the terminal: a change of window size, and the return from a stop
// (Ctrl-Z, then fg). The handlers only note them, except that the return from a stop
// also puts back the terminal mode the interpreter last set: the shell leaves its own.
// Signals that end the process (SIGTERM, SIGHUP, SIGQUIT, SIGPIPE) first give the
// terminal back the mode it had at start, then end it as they would have.
#pragma once
#include <termios.h>

namespace terminal_signals {

void install();

// The mode an ending signal puts back.
void keep_mode_at_start(const termios& mode);
// While the line editor has the terminal it has also turned on bracketed paste, which
// an ending signal turns off.
void set_editing(bool editing);

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

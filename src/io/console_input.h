// Reading the keyboard: whole lines and single keys share one buffer over standard
// input, so typed-ahead and piped text reaches each reader in order.
#pragma once
#include <string>

// One line without its newline (or CR LF), at most `max_length` bytes: the rest of a
// longer line is read and dropped. False at end of input or when Ctrl-C interrupts.
bool read_input_line(std::string& line, size_t max_length);

// One key without echo (terminal in non-canonical mode while waiting), control keys
// as their codes; end of input gives -1.
int read_console_key();

// True when a key can be read at once.
bool console_key_waiting();

// Gives the terminal back its line mode after single keys were read.
void leave_key_mode();

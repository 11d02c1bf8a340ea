// Reading the keyboard: whole lines and single keys share one buffer over standard
// input, so typed-ahead and piped text reaches each reader in order. Each interpreter
// has its own buffer; the functions below use that of the interpreter entered.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// Bytes read from standard input and not yet taken.
struct ConsoleInputBuffer {
    char bytes[4096];
    size_t start = 0;
    size_t end = 0;
};

// One line without its newline (or CR LF), at most `max_length` bytes: the rest of a
// longer line is read and dropped. False at end of input or when Ctrl-C interrupts.
bool read_input_line(std::string& line, size_t max_length);

// One key without echo (terminal in key mode while waiting), control keys as their
// codes; at a terminal Enter reads as 13 and Backspace as 8. End of input gives -1.
int read_console_key();

// True when a key can be read at once.
bool console_key_waiting();

// The next key when one arrives within `milliseconds` (the rest of an escape
// sequence), left to be read; -1 when none does.
int console_key_following(int milliseconds);

// Key mode: no echo and no line buffering (Ctrl-C still signals). The interpreter
// keeps the terminal in it from its first prompt or program on, so keys typed ahead
// are never echoed into the output but wait for the next read; the line editor works
// from it, and only a child process (spawn, system) gets the line mode. The mode is the
// one terminal's, so it is the process's, not an interpreter's.
void enter_key_mode();
void leave_key_mode();
bool in_key_mode();

// Keys that arrived while the terminal was being asked something: they are read as
// typed, after the keys already waiting (what does not fit is dropped).
void keep_typed_ahead(std::string_view keys);

// Keys read from the terminal but not yet taken, handed to the line editor first.
bool take_buffered_key(unsigned char& key);
bool keys_buffered();

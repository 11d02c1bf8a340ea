// The one buffered writer to standard output. It is flushed before the interpreter
// reads input or waits, at exit, and at each newline when standard output is a terminal;
// while a program runs, also when output has waited 50 ms.
#pragma once
#include <cstddef>
#include <string_view>

namespace console_writer {

void write(std::string_view bytes);
void put(char byte);
void flush();
// Flushes output that has waited 50 ms or more; cheap enough to call before every statement.
void flush_if_stale();

// What has been written since the last newline (at most a row's worth), so that a
// line editor can redraw a prompt it did not print.
std::string_view current_row();
// The line editor echoed a newline the writer did not see.
void start_row();

// A fixed UTF-8 text, converted to the console code page.
void write_text(std::string_view utf8);

}  // namespace console_writer

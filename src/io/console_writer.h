// The one buffered writer to standard output. It is flushed before the interpreter
// reads input or waits, at exit, and at each newline when standard output is a terminal;
// while a program runs, also when output has waited 50 ms. Each interpreter has its own
// writer; the functions below use that of the interpreter entered on this thread.
#pragma once
#include <cstddef>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>

#include "io/attention.h"

// Where a writer's bytes go; by default the process's standard output.
using ConsoleSink = std::function<void(std::string_view bytes)>;

class ConsoleWriter {
public:
    ConsoleWriter();
    ~ConsoleWriter();  // what waits is written, not lost
    ConsoleWriter(const ConsoleWriter&) = delete;
    ConsoleWriter& operator=(const ConsoleWriter&) = delete;

    void put(char byte);
    void flush();
    // Flushes output that has waited 50 ms or more. It runs between statements while
    // output waits, which the attention word tells.
    void flush_if_stale() {
        if (used_ != 0) flush_if_waited_long();
    }
    std::string_view current_row() const { return row_; }
    // Removes the current row from the output and returns it, when none of it has
    // been written yet; else returns "" and leaves the output as it is.
    std::string take_unwritten_row();
    void start_row() { row_.clear(); }

    // Output goes to `sink` from now on; what waits goes to the old one first. A sink is
    // not a terminal: output is not flushed at each newline.
    void set_sink(ConsoleSink sink);

private:
    bool flush_at_newline();
    void flush_if_waited_long();

    ConsoleSink sink_;
    char buffer_[8192];
    size_t used_ = 0;
    attention::Waiting waiting_;  // while used_ is not 0
    int line_flush_ = -1;  // decided at first use: 1 when standard output is a terminal
    std::string row_;
    timespec oldest_{};  // when the first byte still waiting was written
};

namespace console_writer {

void write(std::string_view bytes);
void put(char byte);
void flush();

// What has been written since the last newline (at most a row's worth), so that a
// line editor can redraw a prompt it did not print.
std::string_view current_row();
// The line editor echoed a newline the writer did not see.
void start_row();
// The current row taken out of the output to show as a prompt: see ConsoleWriter.
std::string take_unwritten_row();

// A fixed UTF-8 text, converted to the console code page.
void write_text(std::string_view utf8);

}  // namespace console_writer

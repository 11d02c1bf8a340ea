// Standard input with a shared buffer; termios for single unechoed keys.
#include "io/console_input.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>

#include "io/break_flag.h"
#include "io/console_state.h"
#include "io/console_writer.h"
#include "io/terminal.h"
#include "io/terminal_signals.h"

namespace {

ConsoleInputBuffer& input() { return console().input; }

bool buffer_empty() { return input().start == input().end; }

// Refills the buffer; false at end of input or on an interrupted read.
bool fill() {
    console_writer::flush();
    ConsoleInputBuffer& buffer = input();
    ssize_t n = ::read(STDIN_FILENO, buffer.bytes, sizeof buffer.bytes);
    if (n <= 0) return false;
    buffer.start = 0;
    buffer.end = static_cast<size_t>(n);
    return true;
}

// The terminal's modes, one for the process as the terminal is.
termios line_mode{};
bool keys_only = false;

// A terminal sends DEL for Backspace; programs written for the DOS console test 8.
int console_code(unsigned char byte) {
    if (byte == 127 && isatty(STDIN_FILENO)) return 8;
    return byte;
}

// Waits for a key with Ctrl-C held back except inside ppoll, so that one arriving
// just before the wait still ends it.
bool wait_until_readable() {
    console_writer::flush();
    sigset_t interrupt, unblocked;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    sigprocmask(SIG_BLOCK, &interrupt, &unblocked);
    pollfd request{STDIN_FILENO, POLLIN, 0};
    int ready = 0;
    while (!break_flag::is_set() && ready <= 0) {
        ready = ppoll(&request, 1, nullptr, &unblocked);
        if (ready < 0 && errno != EINTR) break;
    }
    sigprocmask(SIG_SETMASK, &unblocked, nullptr);
    // Ctrl-C wakes the wait as input would (the terminal then drops the input); its
    // signal, held back until here, has now set the flag.
    return ready > 0 && !break_flag::is_set();
}

bool wait_for_key(int milliseconds) {
    if (!buffer_empty()) return true;
    enter_key_mode();
    pollfd request{STDIN_FILENO, POLLIN, 0};
    return poll(&request, 1, milliseconds) > 0 && fill();
}

// A host's answer, as the keys a terminal would send for it.
bool ask_host_for_keys(ConsoleHost& host) {
    std::string line;
    if (host.read_line(console_writer::take_unwritten_row(), line) != HostAnswer::Line) return false;
    line += '\r';
    ConsoleInputBuffer& buffer = input();
    const size_t n = std::min(line.size(), sizeof buffer.bytes);
    std::copy_n(line.data(), n, buffer.bytes);
    buffer.start = 0;
    buffer.end = n;
    return true;
}

}  // namespace

void enter_key_mode() {
    if (keys_only || !isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &line_mode) != 0) return;
    // A shell's mode, left after a stop, would have the terminal write a second "^C"
    // while a command runs, and drop output.
    make_interpreters_mode(line_mode);
    termios keys = line_mode;
    keys.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
    keys.c_iflag &= static_cast<tcflag_t>(~ICRNL);  // Enter reads as 13, as on the DOS console
    keys.c_cc[VMIN] = 1;
    keys.c_cc[VTIME] = 0;
    keys_only = terminal_signals::set_mode(keys);
}

void leave_key_mode() {
    if (!keys_only) return;
    terminal_signals::set_mode(line_mode);
    keys_only = false;
}

bool in_key_mode() { return keys_only; }

bool read_input_line(std::string& line, size_t max_length) {
    leave_key_mode();
    line.clear();
    bool any = false;
    ConsoleInputBuffer& buffer = input();
    for (;;) {
        if (buffer.start == buffer.end && !fill()) return any;
        while (buffer.start < buffer.end) {
            char c = buffer.bytes[buffer.start++];
            any = true;
            if (c == '\n') {
                // Lines written on DOS and Windows end in CR LF; the CR is not part of the line.
                if (!line.empty() && line.back() == '\r') line.pop_back();
                return true;
            }
            if (line.size() < max_length) line.push_back(c);
        }
    }
}

int read_console_key() {
    if (buffer_empty() && console().host) {
        if (!ask_host_for_keys(*console().host)) return -1;
    } else if (buffer_empty()) {
        enter_key_mode();
        if (!wait_until_readable() || !fill()) return -1;
    }
    ConsoleInputBuffer& buffer = input();
    return console_code(static_cast<unsigned char>(buffer.bytes[buffer.start++]));
}

bool console_key_waiting() {
    console_writer::flush();  // a prompt written without a newline must show while keys are polled
    return wait_for_key(0);
}

int console_key_following(int milliseconds) {
    if (!wait_for_key(milliseconds)) return -1;
    const ConsoleInputBuffer& buffer = input();
    return static_cast<unsigned char>(buffer.bytes[buffer.start]);
}

void keep_typed_ahead(std::string_view keys) {
    ConsoleInputBuffer& buffer = input();
    std::memmove(buffer.bytes, buffer.bytes + buffer.start, buffer.end - buffer.start);
    buffer.end -= buffer.start;
    buffer.start = 0;
    const size_t kept = std::min(keys.size(), sizeof buffer.bytes - buffer.end);
    std::memcpy(buffer.bytes + buffer.end, keys.data(), kept);
    buffer.end += kept;
}

bool take_buffered_key(unsigned char& key) {
    if (buffer_empty()) return false;
    ConsoleInputBuffer& buffer = input();
    key = static_cast<unsigned char>(buffer.bytes[buffer.start++]);
    return true;
}

bool keys_buffered() { return !buffer_empty(); }

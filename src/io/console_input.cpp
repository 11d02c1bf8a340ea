// Standard input with a shared buffer; termios for single unechoed keys.
#include "io/console_input.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "io/console_writer.h"

namespace {

char buffer[4096];
size_t start = 0, end = 0;

// Refills the buffer; false at end of input or on an interrupted read.
bool fill() {
    console_writer::flush();
    ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0) return false;
    start = 0;
    end = static_cast<size_t>(n);
    return true;
}

// While a program reads single keys the terminal stays in key mode (no echo, no line
// buffering; Ctrl-C still signals); any line read and the end of the process restore it.
termios line_mode{};
bool in_key_mode = false;

void enter_key_mode() {
    if (in_key_mode || !isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &line_mode) != 0) return;
    termios keys = line_mode;
    keys.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
    keys.c_cc[VMIN] = 1;
    keys.c_cc[VTIME] = 0;
    in_key_mode = tcsetattr(STDIN_FILENO, TCSANOW, &keys) == 0;
}

}  // namespace

void leave_key_mode() {
    if (!in_key_mode) return;
    tcsetattr(STDIN_FILENO, TCSANOW, &line_mode);
    in_key_mode = false;
}

bool read_input_line(std::string& line, size_t max_length) {
    leave_key_mode();
    line.clear();
    bool any = false;
    for (;;) {
        if (start == end && !fill()) return any;
        while (start < end) {
            char c = buffer[start++];
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
    if (start == end) {
        enter_key_mode();
        if (!fill()) return -1;
    }
    return static_cast<unsigned char>(buffer[start++]);
}

bool console_key_waiting() {
    console_writer::flush();  // a prompt written without a newline must show while keys are polled
    if (start < end) return true;
    enter_key_mode();
    pollfd request{STDIN_FILENO, POLLIN, 0};
    return poll(&request, 1, 0) > 0 && fill();
}

// Standard input with a shared buffer; termios for single unechoed keys.
#include "io/console_input.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "interp/break_flag.h"
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

// Restores the terminal mode it changed, on every way out of the scope.
class UnechoedKeys {
public:
    UnechoedKeys() {
        if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &saved_) != 0) return;
        termios raw = saved_;
        raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO | ISIG));
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        active_ = tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0;
    }
    ~UnechoedKeys() {
        if (active_) tcsetattr(STDIN_FILENO, TCSANOW, &saved_);
    }
    UnechoedKeys(const UnechoedKeys&) = delete;
    UnechoedKeys& operator=(const UnechoedKeys&) = delete;

private:
    termios saved_{};
    bool active_ = false;
};

}  // namespace

bool read_input_line(std::string& line) {
    line.clear();
    for (;;) {
        if (start == end && !fill()) return !line.empty();
        while (start < end) {
            char c = buffer[start++];
            if (c == '\n') return true;
            line.push_back(c);
        }
    }
}

int read_console_key() {
    if (start == end) {
        UnechoedKeys keys;
        if (!fill()) return -1;
    }
    const unsigned char key = static_cast<unsigned char>(buffer[start++]);
    if (key == 3) {
        break_flag::set();
        return -1;
    }
    return key;
}

bool console_key_waiting() {
    if (start < end) return true;
    UnechoedKeys keys;
    pollfd request{STDIN_FILENO, POLLIN, 0};
    return poll(&request, 1, 0) > 0 && fill();
}

// Buffered standard output.
#include "io/console_writer.h"

#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <string>

#include "io/code_page.h"

namespace console_writer {
namespace {

char buffer[8192];
size_t used = 0;
int line_flush = -1;
std::string row;
constexpr size_t kMaxRow = 1024;  // decided at first use: 1 when standard output is a terminal
timespec oldest{};                // when the first byte still waiting was written
constexpr long kStaleNanoseconds = 50'000'000;

// The coarse clock is read without a system call.
timespec now() {
    timespec time{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &time);
    return time;
}

bool flush_at_newline() {
    if (line_flush < 0) line_flush = isatty(STDOUT_FILENO) ? 1 : 0;
    return line_flush == 1;
}

}  // namespace

void flush() {
    size_t done = 0;
    while (done < used) {
        ssize_t n = ::write(STDOUT_FILENO, buffer + done, used - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // output closed: nothing more can be shown
        done += static_cast<size_t>(n);
    }
    used = 0;
}

void flush_if_stale() {
    if (used == 0) return;
    const timespec time = now();
    const long waited = (time.tv_sec - oldest.tv_sec) * 1'000'000'000L + (time.tv_nsec - oldest.tv_nsec);
    if (waited >= kStaleNanoseconds) flush();
}

void put(char byte) {
    if (used == sizeof buffer) flush();
    if (used == 0) oldest = now();
    buffer[used++] = byte;
    if (byte == '\n' || byte == '\r')
        row.clear();
    else if (row.size() < kMaxRow)
        row.push_back(byte);
    if (byte == '\n' && flush_at_newline()) flush();
}

std::string_view current_row() { return row; }

void start_row() { row.clear(); }

void write(std::string_view bytes) {
    for (char c : bytes) put(c);
}

void write_text(std::string_view utf8) {
    if (console_code_page() == CodePage::Utf8)
        write(utf8);
    else
        write(to_console_text(utf8));
}

}  // namespace console_writer

// Buffered console output.
#include "io/console_writer.h"

#include <unistd.h>

#include <cerrno>

#include "io/code_page.h"
#include "io/console_state.h"

namespace {

constexpr size_t kMaxRow = 1024;
constexpr long kStaleNanoseconds = 50'000'000;

// The coarse clock is read without a system call.
timespec now() {
    timespec time{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &time);
    return time;
}

void write_to_stdout(std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(STDOUT_FILENO, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // output closed: nothing more can be shown
        done += static_cast<size_t>(n);
    }
}

}  // namespace

ConsoleWriter::ConsoleWriter() : sink_(write_to_stdout) {}

ConsoleWriter::~ConsoleWriter() { flush(); }

bool ConsoleWriter::flush_at_newline() {
    if (line_flush_ < 0) line_flush_ = isatty(STDOUT_FILENO) ? 1 : 0;
    return line_flush_ == 1;
}

void ConsoleWriter::flush() {
    if (used_ == 0) return;
    sink_({buffer_, used_});
    used_ = 0;
    waiting_.stop();
}

void ConsoleWriter::flush_if_waited_long() {
    const timespec time = now();
    const long waited = (time.tv_sec - oldest_.tv_sec) * 1'000'000'000L + (time.tv_nsec - oldest_.tv_nsec);
    if (waited >= kStaleNanoseconds) flush();
}

void ConsoleWriter::put(char byte) {
    if (used_ == sizeof buffer_) flush();
    if (used_ == 0) {
        oldest_ = now();
        waiting_.start();
    }
    buffer_[used_++] = byte;
    if (byte == '\n' || byte == '\r')
        row_.clear();
    else if (row_.size() < kMaxRow)
        row_.push_back(byte);
    if (byte == '\n' && flush_at_newline()) flush();
}

std::string ConsoleWriter::take_unwritten_row() {
    if (row_.empty() || row_.size() > used_ || std::string_view(buffer_ + used_ - row_.size(), row_.size()) != row_)
        return {};
    std::string row = std::move(row_);
    row_.clear();
    used_ -= row.size();
    if (used_ == 0) waiting_.stop();
    return row;
}

void ConsoleWriter::set_sink(ConsoleSink sink) {
    flush();
    sink_ = std::move(sink);
    line_flush_ = 0;
}

namespace console_writer {

void flush() { console().writer.flush(); }
std::string take_unwritten_row() { return console().writer.take_unwritten_row(); }

void put(char byte) { console().writer.put(byte); }

std::string_view current_row() { return console().writer.current_row(); }

void start_row() { console().writer.start_row(); }

void write(std::string_view bytes) {
    ConsoleWriter& writer = console().writer;
    for (char c : bytes) writer.put(c);
}

void write_text(std::string_view utf8) {
    if (console_code_page() == CodePage::Utf8)
        write(utf8);
    else
        write(to_console_text(utf8));
}

}  // namespace console_writer

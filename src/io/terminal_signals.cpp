// SIGWINCH and SIGCONT handlers, and those of the ending signals, that only store flags
// and call tcsetattr, write and raise, all async-signal-safe.
#include "io/terminal_signals.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <initializer_list>

namespace terminal_signals {
namespace {

volatile std::sig_atomic_t resized = 0;
volatile std::sig_atomic_t continued = 0;
termios kept_mode{};
volatile std::sig_atomic_t mode_kept = 0;
termios start_mode{};
volatile std::sig_atomic_t start_mode_kept = 0;
volatile std::sig_atomic_t editing_now = 0;

// Continued in the background (bg), the terminal is not ours to change.
bool terminal_is_ours() { return tcgetpgrp(STDIN_FILENO) == getpgrp(); }

extern "C" void on_resize(int) { resized = 1; }

extern "C" void on_continue(int) {
    const int saved_errno = errno;
    continued = 1;
    if (mode_kept && terminal_is_ours()) tcsetattr(STDIN_FILENO, TCSANOW, &kept_mode);
    errno = saved_errno;
}

// The handler was reset to the default on entry (SA_RESETHAND); the signal raised
// again waits until the handler returns, and then ends the process.
extern "C" void on_ending(int number) {
    if (start_mode_kept && terminal_is_ours()) {
        if (editing_now) {
            constexpr char kBracketedPasteOff[] = "\x1b[?2004l";
            [[maybe_unused]] const ssize_t written = write(STDOUT_FILENO, kBracketedPasteOff, sizeof kBracketedPasteOff - 1);
        }
        tcsetattr(STDIN_FILENO, TCSANOW, &start_mode);
    }
    raise(number);
}

void catch_signal(int number, void (*handler)(int), int flags = 0) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | flags;  // reads of a running program go on undisturbed
    sigaction(number, &action, nullptr);
}

// The handler must not read the mode while it changes.
void keep(const termios& mode) {
    sigset_t blocked, previous;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGCONT);
    sigprocmask(SIG_BLOCK, &blocked, &previous);
    kept_mode = mode;
    mode_kept = 1;
    sigprocmask(SIG_SETMASK, &previous, nullptr);
}

}  // namespace

void install() {
    catch_signal(SIGWINCH, on_resize);
    catch_signal(SIGCONT, on_continue);
    for (const int number : {SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) catch_signal(number, on_ending, SA_RESETHAND);
}

void keep_mode_at_start(const termios& mode) {
    start_mode = mode;
    start_mode_kept = 1;
}

void set_editing(bool editing) { editing_now = editing; }

bool set_mode(const termios& mode) {
    if (tcsetattr(STDIN_FILENO, TCSANOW, &mode) != 0) return false;
    keep(mode);
    return true;
}

void keep_current_mode() {
    termios mode;
    if (tcgetattr(STDIN_FILENO, &mode) == 0) keep(mode);
}

void leave_mode_to_child() { mode_kept = 0; }

bool take_resize() {
    if (!resized) return false;
    resized = 0;
    return true;
}

bool take_continue() {
    if (!continued) return false;
    continued = 0;
    return true;
}

}  // namespace terminal_signals

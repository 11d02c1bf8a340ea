// SIGWINCH and SIGCONT handlers that only store flags and call tcsetattr, both
// async-signal-safe.
#include "io/terminal_signals.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace terminal_signals {
namespace {

volatile std::sig_atomic_t resized = 0;
volatile std::sig_atomic_t continued = 0;
termios kept_mode{};
volatile std::sig_atomic_t mode_kept = 0;

extern "C" void on_resize(int) { resized = 1; }

extern "C" void on_continue(int) {
    const int saved_errno = errno;
    continued = 1;
    // Continued in the background (bg), the terminal is not ours to change.
    if (mode_kept && tcgetpgrp(STDIN_FILENO) == getpgrp()) tcsetattr(STDIN_FILENO, TCSANOW, &kept_mode);
    errno = saved_errno;
}

void catch_signal(int number, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;  // reads of a running program go on undisturbed
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
}

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

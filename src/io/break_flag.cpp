// SIGINT handling: the handler only sets a bit of a lock-free word (async-signal-safe).
#include "io/break_flag.h"

#include <csignal>

namespace break_flag {
namespace {
extern "C" void on_interrupt(int) { set(); }
}  // namespace

void install_handler() {
    struct sigaction action {};
    action.sa_handler = on_interrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a blocking read returns EINTR on Ctrl-C
    sigaction(SIGINT, &action, nullptr);
    std::signal(SIGFPE, SIG_IGN);
}


}  // namespace break_flag

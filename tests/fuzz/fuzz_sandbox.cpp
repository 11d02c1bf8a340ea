// The scratch directory, piped input and break timer behind the session fuzz harnesses.
#include "fuzz_sandbox.h"

#include <fcntl.h>
#include <sys/time.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "io/break_flag.h"
#include "io/code_page.h"

namespace fuzz_sandbox {
namespace {

constexpr suseconds_t kBreakEveryMicroseconds = 10000;

volatile sig_atomic_t ticks = 0;

extern "C" void on_timer(int) {
    ticks = 1;
    break_flag::set();
}

void redirect(int fd, const char* path, int flags) {
    const int opened = open(path, flags);
    if (opened < 0 || dup2(opened, fd) < 0) std::abort();
    close(opened);
}

void set_timer(suseconds_t microseconds) {
    itimerval timer{};
    timer.it_interval.tv_usec = microseconds;
    timer.it_value.tv_usec = microseconds;
    setitimer(ITIMER_PROF, &timer, nullptr);
}

}  // namespace

void enter() {
    char scratch[] = "/tmp/velmora-fuzz-XXXXXX";
    if (!mkdtemp(scratch) || chdir(scratch) != 0) std::abort();
    redirect(STDOUT_FILENO, "/dev/null", O_WRONLY);
    redirect(STDIN_FILENO, "/dev/null", O_RDONLY);
    struct sigaction action {};
    action.sa_handler = on_timer;
    sigemptyset(&action.sa_mask);
    sigaction(SIGPROF, &action, nullptr);
    std::signal(SIGFPE, SIG_IGN);
    // lprint reaches no printer and shows no message box.
    setenv("CUPS_SERVER", "/dev/null/velmora-fuzz-cups", 1);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    // Graphics windows stay headless, and the clipboard inside the process.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    detect_console_code_page();
}

void feed_stdin(std::string_view text) {
    int ends[2];
    if (pipe(ends) != 0) std::abort();
    // The pipe holds the whole session, so this write never blocks.
    if (write(ends[1], text.data(), text.size()) != static_cast<ssize_t>(text.size())) std::abort();
    close(ends[1]);
    if (dup2(ends[0], STDIN_FILENO) < 0) std::abort();
    close(ends[0]);
}

BreakTimer::BreakTimer() {
    ticks = 0;
    set_timer(kBreakEveryMicroseconds);
}

bool BreakTimer::fired() const { return ticks != 0; }

BreakTimer::~BreakTimer() {
    set_timer(0);
    break_flag::clear();
}

}  // namespace fuzz_sandbox

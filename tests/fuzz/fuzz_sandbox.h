// What the fuzz harnesses share: a scratch working directory with output discarded,
// piped input for one session, and a timer that breaks into endless programs.
#pragma once
#include <string_view>

namespace fuzz_sandbox {

// Once per process: moves into a fresh scratch directory and sends standard output
// to /dev/null, so that nothing a session prints or writes lands anywhere that matters;
// the printer finds no CUPS server and no display, and graphics windows are headless.
void enter();

// Makes `text` the whole of standard input: it is read as typed lines, then the input ends.
void feed_stdin(std::string_view text);

// While alive, raises the break flag every few milliseconds of CPU time, as Ctrl-C
// would, so that `10 goto 10` stops instead of reading as a hang.
class BreakTimer {
public:
    BreakTimer();
    ~BreakTimer();
    // Whether it has broken in since it was made: where it did depends on the speed.
    bool fired() const;
    BreakTimer(const BreakTimer&) = delete;
    BreakTimer& operator=(const BreakTimer&) = delete;
};

}  // namespace fuzz_sandbox

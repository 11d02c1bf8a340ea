// Running program lines in compiled form: the dispatcher offers each statement of a
// running program line here first, and runs it from its text when this declines.
#pragma once

class C_VMBAS;

namespace compiled {

enum class Outcome {
    Declined,  // nothing happened; the text interpreter runs the statement
    Done,      // the statement ran; the position is where the statement end must follow
    Jumped,    // the statement placed the position itself; the next statement starts there
};

// The statement at `p` in the current line, compiled the first time it is reached,
// and the compiled statements after it: they follow one another without going back
// to the dispatcher, with its own steps between them (the refresh tick, the break
// flag, stale output, the statement end, from one line to the next the run loop's).
// Anything else goes back, at the position where the dispatcher would stand.
Outcome run_statement(C_VMBAS& vm, const char*& p);

}  // namespace compiled

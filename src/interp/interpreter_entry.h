// Entering an interpreter: while an InterpreterEntry lives, the console functions on
// this thread work on this interpreter's own console. Every way into an interpreter
// (the main loop, a run, the calculator, one expression, a test harness) makes one;
// nested entries into the same interpreter cost next to nothing.
#pragma once
#include "interp/vmbas.h"
#include "io/console_state.h"

class InterpreterEntry {
public:
    explicit InterpreterEntry(C_VMBAS& vm) : console_(vm.console) {}

private:
    ConsoleScope console_;
};

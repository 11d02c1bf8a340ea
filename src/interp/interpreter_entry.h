// Entering an interpreter: while an InterpreterEntry lives, the error buffer and the
// console functions on this thread are this interpreter's own. Every way into an interpreter
// (the main loop, a run, the calculator, one expression, a test harness) makes one;
// nested entries into the same interpreter cost next to nothing.
#pragma once
#include "interp/vmbas.h"
#include "io/console_state.h"
#include "values/error.h"

class InterpreterEntry {
public:
    explicit InterpreterEntry(C_VMBAS& vm) : errors_(vm.errors), console_(vm.console) {}

private:
    vm_error::Scope errors_;
    ConsoleScope console_;
};

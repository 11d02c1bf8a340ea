// Running compiled statements: the line being run with its compiled form, and the
// loop that runs one compiled statement after another.
#pragma once
#include <cstddef>

#include "engine/compiled_code.h"
#include "engine/engine.h"
#include "interp/vmbas.h"

namespace compiled {

// The line being run, with its compiled form: valid for as long as compiled
// statements run, since none of them edits the program or defines a function.
struct CurrentLine {
    ProgramLine* line = nullptr;
    CompiledLine* code = nullptr;
};

// Makes `current` describe the interpreter's current line, renewing a stale compiled
// form; false outside the program.
bool enter_line(C_VMBAS& vm, CurrentLine& current);

// The same, the usual way: a line already compiled for the program as it stands (the
// line of direct commands never is).
inline bool switch_line(C_VMBAS& vm, CurrentLine& current) {
    ProgramLine* line = vm.current_line;
    CompiledLine* code = line ? line->compiled.get() : nullptr;
    if (code && code->program_generation == vm.program.generation() &&
        code->functions_generation == vm.functions.generation()) {
        current = {line, code};
        return true;
    }
    return enter_line(vm, current);
}
// Compiles the statement at `p` of the current line: its index, or kTextOnly.
int32_t compile_at(C_VMBAS& vm, CurrentLine& current, const char* p);

// The compiled statement at `p` of the current line, or null for the text interpreter.
inline const Statement* find_statement(C_VMBAS& vm, CurrentLine& current, const char* p) {
    if (vm.current_line != current.line && !switch_line(vm, current)) return nullptr;
    const ptrdiff_t offset = p - current.code->body;
    if (offset < 0 || offset >= current.code->length) return nullptr;
    int32_t index = current.code->statement_at[static_cast<size_t>(offset)];
    if (index == kUntried) index = compile_at(vm, current, p);
    return index < 0 ? nullptr : &current.code->statements[static_cast<size_t>(index)];
}

// Runs compiled statements from `p` for as long as they come, with the dispatcher's
// steps between them; see run_statement.
Outcome run_compiled(C_VMBAS& vm, const char*& p);

}  // namespace compiled

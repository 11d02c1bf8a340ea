// Finding, or making, the compiled form of the statement at a position of the
// current line; a line's compiled form goes stale with any edit of the program and
// any definition of a function.
#include "engine/engine.h"

#include <cassert>
#include <cstdio>

#include "engine/code_check.h"
#include "engine/compiler.h"
#include "engine/dump.h"
#include "engine/engine_choice.h"
#include "engine/runner.h"
#include "interp/vmbas.h"

namespace compiled {

void CompiledLineDeleter::operator()(CompiledLine* line) const { delete line; }

namespace {

// A new, empty compiled form: kept out of line, so that finding a current one is short.
[[gnu::noinline]] void renew(const C_VMBAS& vm, ProgramLine& line) {
    line.compiled.reset(new CompiledLine);
    line.compiled->program_generation = vm.program.generation();
    line.compiled->functions_generation = vm.functions.generation();
    line.compiled->body = line.body();
    line.compiled->length = static_cast<int32_t>(line.text.size()) - line.indentation;
    line.compiled->statement_at.assign(static_cast<size_t>(line.compiled->length), kUntried);
}

CompiledLine& compiled_form(const C_VMBAS& vm, ProgramLine& line) {
    if (!line.compiled || line.compiled->program_generation != vm.program.generation() ||
        line.compiled->functions_generation != vm.functions.generation())
        renew(vm, line);
    return *line.compiled;
}

}  // namespace

bool enter_line(C_VMBAS& vm, CurrentLine& current) {
    ProgramLine* line = vm.current_line;
    if (!line || line == &vm.direct_line) return false;
    CompiledLine& code = compiled_form(vm, *line);
    current = {line, &code};
    return true;
}

int32_t compile_at(C_VMBAS& vm, CurrentLine& current, const char* p) {
    CompiledLine& code = *current.code;
    const auto offset = static_cast<int32_t>(p - code.body);
    const size_t first_call = code.calls.size();
    int32_t& index = code.statement_at[static_cast<size_t>(offset)];
    index = compile_statement(vm, code, code.body, p);
    assert(well_formed(code, index, first_call));
    if (dumping()) dump_statement(stderr, code, current.line->number, offset, index, first_call);
    return index;
}

Outcome run_statement(C_VMBAS& vm, const char*& p) {
    if (vm.engine == Engine::Text) return Outcome::Declined;
    return run_compiled(vm, p);
}

}  // namespace compiled

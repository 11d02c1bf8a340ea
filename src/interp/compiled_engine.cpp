// Finding, or making, the compiled form of the statement at a position of the
// current line; a line's compiled form goes stale with any edit of the program.
#include "interp/compiled_engine.h"

#include "interp/compiled_compiler.h"
#include "interp/compiled_run.h"
#include "interp/engine.h"
#include "interp/vmbas.h"

namespace compiled {

void CompiledLineDeleter::operator()(CompiledLine* line) const { delete line; }

namespace {

CompiledLine& compiled_form(const C_VMBAS& vm, ProgramLine& line) {
    if (!line.compiled || line.compiled->program_generation != vm.program.generation()) {
        line.compiled.reset(new CompiledLine);
        line.compiled->program_generation = vm.program.generation();
        line.compiled->statement_at.assign(line.text.size() - static_cast<size_t>(line.indentation), kUntried);
    }
    return *line.compiled;
}

}  // namespace

Outcome run_statement(C_VMBAS& vm, const char*& p) {
    ProgramLine* line = vm.current_line;
    if (!line || line == &vm.direct_line || current_engine() == Engine::Text) return Outcome::Declined;
    const char* body = line->body();
    const ptrdiff_t offset = p - body;
    if (offset < 0 || offset >= static_cast<ptrdiff_t>(line->text.size()) - line->indentation)
        return Outcome::Declined;
    CompiledLine& code = compiled_form(vm, *line);
    int32_t& index = code.statement_at[static_cast<size_t>(offset)];
    if (index == kUntried) index = compile_statement(vm, code, body, p);
    if (index < 0) return Outcome::Declined;
    return run_compiled(vm, code, code.statements[static_cast<size_t>(index)], p, body);
}

}  // namespace compiled

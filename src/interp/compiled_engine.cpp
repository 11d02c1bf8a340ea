// Finding, or making, the compiled form of the statement at a position of the
// current line; a line's compiled form goes stale with any edit of the program and
// any definition of a function.
#include "interp/compiled_engine.h"

#include "graphics/graphics_state.h"
#include "interp/compiled_compiler.h"
#include "interp/compiled_run.h"
#include "interp/engine.h"
#include "interp/vmbas.h"
#include "io/break_flag.h"
#include "io/console_writer.h"
#include "values/text_scan.h"

namespace compiled {

void CompiledLineDeleter::operator()(CompiledLine* line) const { delete line; }

namespace {

CompiledLine& compiled_form(const C_VMBAS& vm, ProgramLine& line) {
    if (!line.compiled || line.compiled->program_generation != vm.program.generation() ||
        line.compiled->functions_generation != vm.functions.generation()) {
        line.compiled.reset(new CompiledLine);
        line.compiled->program_generation = vm.program.generation();
        line.compiled->functions_generation = vm.functions.generation();
        line.compiled->statement_at.assign(line.text.size() - static_cast<size_t>(line.indentation), kUntried);
    }
    return *line.compiled;
}

// The compiled statement at `p` in the current line, or null for the text interpreter.
const Statement* statement_at(C_VMBAS& vm, const char* p, CompiledLine*& code) {
    ProgramLine* line = vm.current_line;
    if (!line || line == &vm.direct_line) return nullptr;
    const char* body = line->body();
    const ptrdiff_t offset = p - body;
    if (offset < 0 || offset >= static_cast<ptrdiff_t>(line->text.size()) - line->indentation) return nullptr;
    code = &compiled_form(vm, *line);
    int32_t& index = code->statement_at[static_cast<size_t>(offset)];
    if (index == kUntried) index = compile_statement(vm, *code, body, p);
    return index < 0 ? nullptr : &code->statements[static_cast<size_t>(index)];
}

}  // namespace

// Compiled statements follow one another here without going back to the dispatcher,
// with the dispatcher's own steps between them: the refresh tick, the break flag, the
// stale output, the statement end, and from one line to the next the run loop's.
// Anything else goes back, at the position where the dispatcher would stand.
Outcome run_statement(C_VMBAS& vm, const char*& p) {
    if (current_engine() == Engine::Text) return Outcome::Declined;
    bool ran = false;
    for (;;) {
        CompiledLine* code = nullptr;
        const Statement* statement = statement_at(vm, p, code);
        if (!statement) return ran ? Outcome::Jumped : Outcome::Declined;
        const Outcome outcome = run_compiled(vm, *code, *statement, p, vm.current_line->body());
        if (outcome == Outcome::Declined) return ran ? Outcome::Jumped : Outcome::Declined;
        ran = true;
        if (outcome == Outcome::Done) {
            const char* q = skip_blanks(p);
            if (*q == ':') {
                p = q + 1;
            } else if (at_statement_end(q) && !break_flag::is_set()) {
                if (!vm.current_line->next) return Outcome::Done;
                p = vm.jump_to_line(vm.current_line->next);
            } else {
                return Outcome::Done;
            }
        }
        for (;;) {
            refresh_tick(vm.graphics, vm);
            if (break_flag::is_set()) return Outcome::Jumped;
            console_writer::flush_if_stale();
            p = skip_blanks(p);
            if (*p == ':') {
                ++p;
            } else if (*p == '\0') {
                if (!vm.current_line->next) return Outcome::Jumped;
                p = vm.jump_to_line(vm.current_line->next);
            } else {
                break;
            }
        }
    }
}

}  // namespace compiled

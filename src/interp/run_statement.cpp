// run, cont, stop and end: starting, resuming and stopping execution.
#include "interp/program_store.h"
#include "interp/statements.h"
#include "interp/vmbas.h"
#include "values/error.h"

namespace {

int require_statement_end(const char* p) { return at_statement_end(p) ? 0 : vm_error::fail("無効な構文"); }

const char* end_of_text(const char* p) { return p + std::char_traits<char>::length(p); }

}  // namespace

int stmt_run(C_VMBAS& vm, const char*& p) {
    // A label that no line carries is left unread, so the end check refuses it.
    const char* q = p;
    ProgramLine* start = nullptr;
    if (const int32_t target = parse_jump_target(vm.program, q); target > 0) {
        start = vm.program.find(target);
        if (!start) return vm_error::fail("該当行がない");
    }
    if (require_statement_end(q) < 0) {
        p = q;
        return -1;
    }
    vm.end_execution();
    vm.clear_state();
    if (!start) start = vm.program.first();
    p = start ? vm.jump_to_line(start) : q;
    return 0;
}

int stmt_cont(C_VMBAS& vm, const char*& p) {
    if (require_statement_end(p) < 0) return -1;
    // A command typed at the prompt cannot be resumed: its text has been replaced.
    if (!vm.cont.line || vm.cont.line == &vm.direct_line) return vm_error::fail("実行再開できません");
    vm.current_line = vm.cont.line;
    p = vm.cont.text();
    vm.cont = {};
    return 0;
}

int stmt_stop(C_VMBAS& vm, const char*& p) {
    if (require_statement_end(p) < 0) return -1;
    if (!vm.is_running()) return 0;
    vm.cont = TextPosition::at(vm.current_line, p);
    vm.current_line = nullptr;
    p = end_of_text(p);
    vm.io.put_text(CHANNEL_CONSOLE, "stop\n");
    return 0;
}

int stmt_end(C_VMBAS& vm, const char*& p) {
    if (require_statement_end(p) < 0) return -1;
    vm.end_execution();
    p = end_of_text(p);
    return 0;
}

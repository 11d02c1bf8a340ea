// renum: new numbers for every line in order. Numbers written inside statements stay
// as they are, which is why programs meant to be renumbered jump to labels.
#include "interp/program_store.h"
#include "interp/statements.h"
#include "interp/vmbas.h"
#include "values/error.h"
#include "values/text_scan.h"

int stmt_renum(C_VMBAS& vm, const char*& p) {
    int64_t start = 100, step = 100;
    const char* q = skip_blanks(p);
    if (!at_statement_end(q)) {
        start = parse_line_number(q);
        if (start < 1) return vm_error::fail("開始番号が必要");
        if (start > 99999999) return vm_error::fail("開始番号が無効");
        const char* r = skip_blanks(q);
        if (*r == ',') {
            q = r + 1;
            if (!at_statement_end(q)) {
                step = parse_line_number(q);
                if (step < 1) return vm_error::fail("ステップが必要");
                if (step > 9999999) return vm_error::fail("ステップが無効");
            }
        }
    }
    if (!at_statement_end(q)) {
        p = skip_blanks(q);
        return vm_error::fail("無効な構文");
    }
    p = q;
    if (vm.program.empty()) return vm_error::fail("リストがない");
    if (!vm.program.renumber(start, step)) {
        vm.new_program();
        return vm_error::fail("行番号オーバフロー");
    }
    vm.end_execution();
    vm.clear_state();
    return 0;
}

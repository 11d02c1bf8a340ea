// if ... then ... [else ...]: a false condition searches this line for its else,
// pairing each else with the nearest open if.
#include "interp/line_scan.h"
#include "interp/program_store.h"
#include "interp/statements.h"
#include "interp/vmbas.h"
#include "values/error.h"
#include "values/evaluator.h"
#include "values/language_rules.h"
#include "values/text_scan.h"

int stmt_if(C_VMBAS& vm, const char*& p) {
    constexpr std::string_view kUsage = messages::translatable("使用法:if 数式 then … [else …]");
    const char* q = p;
    Complex condition;
    if (eval_expr(vm, q, condition) < 0) return vm_error::fail(kUsage);
    if (!rules::is_real(condition)) {
        p = q;
        return vm_error::fail("if 文で虚数は無効");
    }
    if (rules::is_true(condition)) {
        if (match_keyword(q, "then") < 0) {
            p = q;
            return vm_error::fail(kUsage);
        }
        const char* target_text = q;
        if (const int32_t target = parse_jump_target(vm.program, target_text); target > 0) {
            if (ProgramLine* line = vm.program.find(target)) {
                p = vm.jump_to_line(line);
                return 0;
            }
        }
        p = q;
        return 0;
    }
    int nesting = 0;
    for (;;) {
        switch (scan_for_keywords(q, "if", "else")) {
            case ScanStop::Opener: ++nesting; continue;
            case ScanStop::Closer:
                if (nesting-- == 0) {
                    p = q;
                    return 0;
                }
                continue;
            case ScanStop::EndOfLine: p = q; return 0;
        }
    }
}

// while ... wend. A false condition searches forward, across lines, for the matching
// wend; wend goes back to its while, which tests the condition again.
#include "interp/line_scan.h"
#include "interp/program_store.h"
#include "interp/statements.h"
#include "interp/vmbas.h"
#include "values/error.h"
#include "values/evaluator.h"
#include "values/language_rules.h"
#include "values/text_scan.h"

int stmt_while(C_VMBAS& vm, const char*& p) {
    const char* keyword = p - std::char_traits<char>::length("while");
    Complex condition;
    if (eval_expr(vm, p, condition) < 0) return vm_error::fail("使用法:while 数式 … wend");
    if (!rules::is_real(condition)) return vm_error::fail("while 文で虚数は無効");
    if (rules::is_true(condition)) {
        if (vm.while_depth == kStackDepth) return vm_error::fail("while-wend が深すぎる");
        vm.while_stack[static_cast<size_t>(vm.while_depth++)] = {TextPosition::at(vm.current_line, keyword)};
        return 0;
    }
    const char* q = p;
    ProgramLine* line = nullptr;
    if (!find_matching_wend(vm.current_line, q, line)) return vm_error::fail("while に対する wend がない");
    vm.jump_to_line(line);
    p = q;
    return 0;
}

int stmt_wend(C_VMBAS& vm, const char*& p) {
    if (!at_statement_end(p)) return vm_error::fail("無効な構文");
    if (vm.while_depth == 0) return vm_error::fail("wend に対応する while がない");
    const WhileEntry entry = vm.while_stack[static_cast<size_t>(--vm.while_depth)];
    p = vm.jump_to(entry.keyword);
    return 0;
}

// while ... wend. A false condition searches forward, across lines, for the matching
// wend; wend goes back to its while, which tests the condition again.
#include "values/error.h"
#include "interp/line_scan.h"
#include "interp/program_store.h"
#include "interp/statements.h"
#include "interp/vmbas.h"
#include "values/evaluator.h"
#include "values/text_scan.h"

namespace {

// From `p` in the current line onward; true with the line and position after the match.
bool find_matching_wend(C_VMBAS& vm, const char*& p, ProgramLine*& line) {
    int nesting = 0;
    ProgramLine* scanning = vm.current_line;
    const char* q = p;
    for (;;) {
        switch (scan_for_keywords(q, "while", "wend")) {
            case ScanStop::Opener: ++nesting; break;
            case ScanStop::Closer:
                if (nesting-- == 0) {
                    line = scanning;
                    p = q;
                    return true;
                }
                break;
            case ScanStop::EndOfLine:
                scanning = scanning ? scanning->next : nullptr;
                if (!scanning) return false;
                q = scanning->text.c_str();
                break;
        }
    }
}

}  // namespace

int stmt_while(C_VMBAS& vm, const char*& p) {
    const char* keyword = p - std::char_traits<char>::length("while");
    Complex condition;
    if (eval_expr(vm, p, condition) < 0) return vm_error::fail("使用法:while 数式 … wend");
    if (condition.im != 0.0) return vm_error::fail("while 文で虚数は無効");
    if (condition.re != 0.0) {
        if (vm.while_depth == kStackDepth) return vm_error::fail("while-wend が深すぎる");
        vm.while_stack[static_cast<size_t>(vm.while_depth++)] = {vm.current_line, keyword};
        return 0;
    }
    const char* q = p;
    ProgramLine* line = nullptr;
    if (!find_matching_wend(vm, q, line)) return vm_error::fail("while に対する wend がない");
    vm.jump_to_line(line);
    p = q;
    return 0;
}

int stmt_wend(C_VMBAS& vm, const char*& p) {
    if (!at_statement_end(p)) return vm_error::fail("無効な構文");
    if (vm.while_depth == 0) return vm_error::fail("wend に対応する while がない");
    const WhileEntry entry = vm.while_stack[static_cast<size_t>(--vm.while_depth)];
    if (entry.line) vm.jump_to_line(entry.line);
    p = entry.text;
    return 0;
}

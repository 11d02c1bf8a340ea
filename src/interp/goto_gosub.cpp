// goto, gosub, return, and on ... goto/gosub and on error goto.
#include "interp/program_store.h"
#include "interp/statements.h"
#include "interp/vmbas.h"
#include "values/error.h"
#include "values/evaluator.h"
#include "values/names.h"
#include "values/text_scan.h"

namespace {

ProgramLine* read_target_line(C_VMBAS& vm, const char*& p) {
    const int32_t target = parse_jump_target(vm.program, p);
    return target > 0 ? vm.program.find(target) : nullptr;
}

int push_gosub(C_VMBAS& vm, const char* return_text) {
    if (vm.gosub_depth == kStackDepth) return vm_error::fail("gosub が深すぎる");
    vm.gosub_stack[static_cast<size_t>(vm.gosub_depth++)] = {TextPosition::at(vm.current_line, return_text)};
    return 0;
}

// One item of an on-list: a line number of at least 1 or a label, checked for form;
// `line` is looked up only when `wanted`.
int read_on_item(C_VMBAS& vm, const char*& p, bool wanted, ProgramLine*& line) {
    const char* q = skip_blanks(p);
    if (*q == '*') {
        const char* name_start = q + 1;
        std::string_view name;
        if (is_blank(*name_start) || !scan_name(name_start, name)) return vm_error::fail("* 直後にラベル名が必要");
        if (wanted) line = vm.program.find_label(name);
        p = name_start;
    } else {
        const int32_t number = parse_line_number(q);
        if (number < 1) return vm_error::fail("行番号が必要");
        if (wanted) line = vm.program.find(number);
        p = q;
    }
    if (wanted && !line) return vm_error::fail("goto/gosub 先がない");
    return 0;
}

int on_error_goto(C_VMBAS& vm, const char*& p) {
    constexpr std::string_view kUsage = messages::translatable("使用法:on error goto 行番号/ラベル");
    if (match_keyword(p, "goto") < 0) return vm_error::fail(kUsage);
    if (at_statement_end(p)) {
        vm.error_handler_line = 0;
        return 0;
    }
    // A line number is kept even when no such line exists yet: the handler is looked
    // up when a failure happens, and ignored while its line is missing.
    const int32_t target = parse_jump_target(vm.program, p);
    if (target < 1) return vm_error::fail("on error の飛び先が無効");
    if (!at_statement_end(p)) return vm_error::fail(kUsage);
    vm.error_handler_line = target;
    return 0;
}

}  // namespace

// Like every statement, the jumps move the position over what they have read and no
// further, so a missing line number or text left after the target is reported with
// the caret right after the target, as after any statement that must stand alone.
int stmt_goto(C_VMBAS& vm, const char*& p) {
    ProgramLine* line = read_target_line(vm, p);
    if (!line) return vm_error::fail("goto 先がない");
    if (!at_statement_end(p)) return vm_error::fail("無効な構文");
    p = vm.jump_to_line(line);
    return 0;
}

int stmt_gosub(C_VMBAS& vm, const char*& p) {
    ProgramLine* line = read_target_line(vm, p);
    if (!line) return vm_error::fail("gosub 先がない");
    if (push_gosub(vm, p) < 0) return -1;
    p = vm.jump_to_line(line);
    return 0;
}

int stmt_return(C_VMBAS& vm, const char*& p) {
    if (!vm.is_running()) return vm_error::fail("停止中は無効");
    if (!at_statement_end(p)) return vm_error::fail("無効な構文");
    if (vm.gosub_depth == 0) {
        vm.end_execution();
        return 0;
    }
    const GosubEntry entry = vm.gosub_stack[static_cast<size_t>(--vm.gosub_depth)];
    p = vm.jump_to(entry.resume);
    return 0;
}

int stmt_on(C_VMBAS& vm, const char*& p) {
    if (match_keyword(p, "error") == 0) return on_error_goto(vm, p);
    constexpr std::string_view kUsage = messages::translatable("使用法:on 式 goto|gosub 行番号|ラベル,…");
    Complex selector;
    if (eval_expr(vm, p, selector) < 0 || selector.im != 0.0) return vm_error::fail(kUsage);
    const int64_t n = to_int64(selector.re);
    bool is_gosub = false;
    if (match_keyword(p, "gosub") == 0)
        is_gosub = true;
    else if (match_keyword(p, "goto") < 0)
        return vm_error::fail(kUsage);

    ProgramLine* chosen = nullptr;
    for (int64_t item = 1;; ++item) {
        if (read_on_item(vm, p, item == n, chosen) < 0) return -1;
        const char* q = skip_blanks(p);
        if (*q != ',') break;
        p = q + 1;
    }
    if (!at_statement_end(p)) return vm_error::fail("無効な構文");
    if (!chosen) return 0;
    if (is_gosub && push_gosub(vm, p) < 0) return -1;
    p = vm.jump_to_line(chosen);
    return 0;
}

// for ... to ... [step ...] and next. Every for pushes a new entry; next compares
// only with the innermost loop.
#include "interp/statements.h"
#include "interp/vmbas.h"
#include "values/error.h"
#include "values/evaluator.h"
#include "values/language_rules.h"
#include "values/names.h"
#include "values/text_scan.h"

namespace {

constexpr std::string_view kForUsage = messages::translatable("使用法:for 変数=式 to 式 ... next");

struct LoopBounds {
    Complex start, limit, step;
};

int read_bounds(C_VMBAS& vm, const char*& p, LoopBounds& bounds) {
    p = skip_blanks(p);
    if (*p != '=') return vm_error::fail(kForUsage);
    ++p;
    if (eval_expr(vm, p, bounds.start) < 0) return vm_error::fail(kForUsage);
    if (match_keyword(p, "to") < 0) return vm_error::fail(kForUsage);
    if (eval_expr(vm, p, bounds.limit) < 0) return vm_error::fail(kForUsage);
    bounds.step = rules::default_step(bounds.start, bounds.limit);
    if (match_keyword(p, "step") == 0 && eval_expr(vm, p, bounds.step) < 0) return vm_error::fail("STEP 後に式がない");
    const std::string_view refusal = rules::for_bounds_error(bounds.start, bounds.limit, bounds.step);
    return refusal.empty() ? 0 : vm_error::fail(refusal);
}

}  // namespace

int stmt_for(C_VMBAS& vm, const char*& p) {
    std::string_view name;
    int type;
    if (!scan_var_name(p, name, type) || type == VT_STRING) return vm_error::fail(kForUsage);
    PCVAR* variable = vm.variables.find_or_create(name);
    const char next = *skip_blanks(p);
    if (next == '(' || next == '[') return vm_error::fail("for 変数に配列は使えません");
    LoopBounds bounds;
    if (read_bounds(vm, p, bounds) < 0) return -1;
    if (vm.for_depth == kStackDepth) return vm_error::fail("for-next が深すぎる");
    // The bounds may have mentioned new variables; the record address is stable.
    variable->value = coerce_to_type(bounds.start, type);
    vm.for_stack[static_cast<size_t>(vm.for_depth++)] = {TextPosition::at(vm.current_line, p), std::string(name), type, bounds.limit.re,
                                                         bounds.step.re, rules::loop_increment(bounds.step, type)};
    return 0;
}

int stmt_next(C_VMBAS& vm, const char*& p) {
    if (vm.for_depth == 0) return vm_error::fail("対応する FOR 文がない");
    ForEntry& loop = vm.for_stack[static_cast<size_t>(vm.for_depth - 1)];
    const char* q = p;
    std::string_view name;
    int type;
    if (scan_var_name(q, name, type)) {
        if (!equals_nocase(name, loop.variable)) return vm_error::fail("next 文の変数名が不一致");
    } else {
        q = p;
    }
    PCVAR* variable = vm.variables.find_or_create(loop.variable);
    rules::advance(variable->value, loop.increment, loop.type);
    if (rules::loop_goes_on(variable->value.re, loop.limit, loop.step)) {
        p = vm.jump_to(loop.after);
        return 0;
    }
    --vm.for_depth;
    p = q;
    return 0;
}

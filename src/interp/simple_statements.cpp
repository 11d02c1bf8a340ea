// The small statements of the execution state: new, clear, tron, troff, comments and
// skipped text, labels and option base.
#include <cstring>

#include "interp/statements.h"
#include "interp/vmbas.h"
#include "values/error.h"
#include "values/evaluator.h"
#include "values/names.h"
#include "values/text_scan.h"

int stmt_new(C_VMBAS& vm, const char*&) {
    vm.new_program();
    return 0;
}

int stmt_clear(C_VMBAS& vm, const char*&) {
    vm.clear_state();
    return 0;
}

int stmt_tron(C_VMBAS& vm, const char*&) {
    vm.set_trace(true);
    return 0;
}

int stmt_troff(C_VMBAS& vm, const char*&) {
    vm.set_trace(false);
    return 0;
}

// rem, "'", data and else: the rest of the line is not executed.
int stmt_rest_of_line(C_VMBAS&, const char*& p) {
    p += std::strlen(p);
    return 0;
}

int stmt_label(C_VMBAS&, const char*& p) {
    std::string_view name;
    if (is_blank(*p) || !scan_name(p, name)) return vm_error::fail("* 直後にラベル名が必要");
    return 0;
}

int stmt_option(C_VMBAS& vm, const char*& p) {
    constexpr std::string_view kUsage = messages::translatable("使用法:option base 0/1");
    const char* q = p;
    Complex value;
    if (match_keyword(q, "base") < 0 || eval_expr(vm, q, value) < 0) return vm_error::fail(kUsage);
    if (value.im != 0.0 || (value.re != 0.0 && value.re != 1.0)) return vm_error::fail(kUsage);
    vm.option_base = static_cast<int>(value.re);
    p = q;
    return 0;
}

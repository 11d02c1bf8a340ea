// let, with or without the keyword: a list of assignments separated by ",".
#include "interp/statements.h"
#include "interp/vmbas.h"
#include "values/error.h"
#include "values/evaluator.h"
#include "values/names.h"
#include "values/text_scan.h"
#include "values/variable_access.h"

namespace {

bool names_something(const char* p) {
    const char c = *skip_blanks(p);
    return is_letter(c) || c == '_';
}

int assign_one(C_VMBAS& vm, const char*& p) {
    // Text that names nothing at all fails without a message of its own: the
    // dispatcher then reports it as no statement ("無効な構文,").
    std::string_view name;
    int type;
    const char* q = p;
    if (!scan_var_name(q, name, type)) return names_something(p) ? vm_error::fail("無効な構文") : -1;
    VarRef target;
    if (get_scanned_var(vm, name, type, q, target) < 0) return vm_error::fail("無効な構文");
    p = q;
    if (type == VT_STRING) {
        p = skip_blanks(p);
        if (*p != '=') return vm_error::fail("無効な構文");
        ++p;
        C_STR value;
        if (eval_string_value(vm, p, value) < 0) return vm_error::fail("右辺の値が無効");
        *target.string = std::move(value);
        return 0;
    }
    p = skip_blanks(p);
    if (*p != '=') return vm_error::fail("無効な構文");
    ++p;
    Complex value;
    if (eval_expr(vm, p, value) < 0) return vm_error::fail("右辺の値が無効");
    store_number(target, value);
    return 0;
}

}  // namespace

int stmt_assignment(C_VMBAS& vm, const char*& p) {
    for (;;) {
        if (assign_one(vm, p) < 0) return -1;
        const char* q = skip_blanks(p);
        if (*q != ',') return 0;
        p = q + 1;
    }
}

// After the keyword, text that names nothing is a plain syntax error.
int stmt_let(C_VMBAS& vm, const char*& p) {
    return stmt_assignment(vm, p) < 0 ? vm_error::fail("無効な構文") : 0;
}

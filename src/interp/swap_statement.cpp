// swap: exchanging two strings, or two numbers of the same type.
#include "interp/statements.h"
#include "interp/vmbas.h"
#include "values/error.h"
#include "values/text_scan.h"
#include "values/variable_access.h"
#include "values/variables.h"

namespace {

// Every store into an integer array makes the value whole, so that reading an element
// never has to. A scalar may hold what poke made of its bytes, which swap passes on as
// it is; only where such a value lands in an array is it made whole.
void settle_integer_element(const VarRef& ref) {
    if (stores_whole_numbers(ref.type) && ref.number != &ref.record->value) *ref.number = coerce_to_type(*ref.number, VT_INTEGER);
}

}  // namespace

int stmt_swap(C_VMBAS& vm, const char*& p) {
    constexpr std::string_view kUsage = messages::translatable("使用法:swap 変数,変数");
    VarRef a, b;
    const bool strings = get_var(vm, p, VarKind::String, a) == 0;
    if (!strings && (vm_error::has_message() || get_var(vm, p, VarKind::Numeric, a) < 0)) return vm_error::fail(kUsage);
    p = skip_blanks(p);
    if (*p != ',') return vm_error::fail(kUsage);
    ++p;
    if (get_var(vm, p, strings ? VarKind::String : VarKind::Numeric, b) < 0) return vm_error::fail(kUsage);
    if (strings) {
        a.string->swap(*b.string);
    } else {
        if (a.type != b.type) return vm_error::fail("変数型が不一致");
        std::swap(*a.number, *b.number);
        settle_integer_element(a);
        settle_integer_element(b);
    }
    return 0;
}

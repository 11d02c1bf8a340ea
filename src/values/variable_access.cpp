// Variable lookup, subscripts and element addressing.
#include "values/variable_access.h"

#include "values/error.h"
#include "values/eval_context.h"
#include "values/evaluator.h"
#include "values/language_rules.h"
#include "values/names.h"
#include "values/number_parse.h"
#include "values/text_scan.h"

namespace {

struct Subscripts {
    int count = 0;
    int32_t values[kMaxDimensions] = {};
};

int read_subscripts(EvalContext& vm, const char*& p, Subscripts& subscripts) {
    const char* q = p + 1;  // past "(" or "["
    for (;;) {
        if (subscripts.count == kMaxDimensions) return vm_error::fail("配列の次元が高すぎる");
        Complex value;
        if (eval_expr(vm, q, value) < 0) return -1;
        const std::string_view refusal =
            rules::subscript_error(value, rules::lowest_subscript(vm.option_base), subscripts.values[subscripts.count]);
        if (!refusal.empty()) return vm_error::fail(refusal);
        ++subscripts.count;
        q = skip_blanks(q);
        if (*q == ',') {
            ++q;
            continue;
        }
        if (*q != ')' && *q != ']') return vm_error::fail(") か ] が必要");
        p = q + 1;
        return 0;
    }
}

int locate_element(PCVAR& record, const Subscripts& subscripts, size_t& index) {
    if (!record.has_array()) return vm_error::fail("配列は DIM で宣言が必要");
    if (subscripts.count != record.dimension_count) return vm_error::fail("配列の次元が不一致");
    uint64_t flat = 0;
    for (int d = 0; d < subscripts.count; ++d) {
        if (subscripts.values[d] >= record.dimension_sizes[d]) return vm_error::fail("配列領域超過");
        flat = flat * static_cast<uint64_t>(record.dimension_sizes[d]) + static_cast<uint64_t>(subscripts.values[d]);
    }
    const size_t size = record.type == VT_STRING ? record.string_elements.size() : record.numeric_elements.size();
    if (flat >= size) return vm_error::fail("配列構造が無効");
    index = static_cast<size_t>(flat);
    return 0;
}

}  // namespace

int get_var(EvalContext& vm, const char*& p, VarKind kind, VarRef& ref) {
    const char* q = p;
    std::string_view name;
    int type;
    if (!scan_var_name(q, name, type)) return -1;
    if ((type == VT_STRING) != (kind == VarKind::String)) return -1;
    if (get_scanned_var(vm, name, type, q, ref) < 0) return -1;
    p = q;
    return 0;
}

int get_scanned_var(EvalContext& vm, std::string_view name, int type, const char*& p, VarRef& ref) {
    const char* q = p;
    const char* after = skip_blanks(q);
    Subscripts subscripts;
    const bool has_subscripts = *after == '(' || *after == '[';
    if (has_subscripts && read_subscripts(vm, after, subscripts) < 0) return -1;

    // Subscripts may mention new variables; the record is found after they are read.
    PCVAR* record = vm.variables.find_or_create(name);
    ref = VarRef{record, type};
    if (!has_subscripts) {
        if (type == VT_STRING)
            ref.string = &record->string_value;
        else
            ref.number = &record->value;
        p = q;
        return 0;
    }
    size_t index = 0;
    if (locate_element(*record, subscripts, index) < 0) return -1;
    if (type == VT_STRING) {
        ref.string = &record->string_elements[index];
    } else {
        ref.number = &record->numeric_elements[index];
    }
    p = after;
    return 0;
}

C_STR* get_string_var(EvalContext& vm, const char*& p) {
    VarRef ref;
    return get_var(vm, p, VarKind::String, ref) < 0 ? nullptr : ref.string;
}

void store_number(const VarRef& ref, Complex value) { *ref.number = coerce_to_type(value, ref.type); }

int assign_from_text(EvalContext& vm, const char*& p, std::string_view text) {
    VarRef ref;
    const char* q = p;
    if (get_var(vm, q, VarKind::String, ref) == 0) {
        ref.string->assign(text);
        p = q;
        return 0;
    }
    if (vm_error::has_message()) return -1;
    if (get_var(vm, q, VarKind::Numeric, ref) < 0) return vm_error::fail("変数名が無効");
    std::string bytes(text);
    const char* t = skip_blanks(bytes.c_str());
    Complex value;
    if (*t == '\0' || parse_complex_text(t, value) < 0 || *skip_blanks(t) != '\0') value = {};
    store_number(ref, value);
    p = q;
    return 0;
}

const void* variable_storage_address(EvalContext& vm, const char*& p) {
    const char* q = p;
    std::string_view name;
    int type;
    if (!scan_var_name(q, name, type)) return nullptr;
    const PCVAR* record = vm.variables.find(name);
    if (!record) return nullptr;
    p = q;
    return type == VT_STRING ? static_cast<const void*>(record->string_value.c_str())
                             : static_cast<const void*>(&record->value);
}

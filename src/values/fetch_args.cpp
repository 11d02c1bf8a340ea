// Argument reading and checking for built-in functions.
#include "values/fetch_args.h"

#include <string>

#include "values/error.h"
#include "values/evaluator.h"
#include "values/language_rules.h"
#include "values/text_scan.h"
#include "values/variable_access.h"

namespace {

int internal_error(std::string_view which) {
    return vm_error::fail(std::string(messages::localized("内部エラー(")) + std::string(which) + ")");
}

template <typename T>
T* slot_as(const ArgSlot* slot) {
    if (!slot) return nullptr;
    T* const* held = std::get_if<T*>(slot);
    return held ? *held : nullptr;
}

// A numeric argument that must be real, within [low, high].
int real_in_range(EvalContext& vm, const char*& p, double low, double high, double& value) {
    Complex z;
    if (eval_expr(vm, p, z) < 0) return -1;
    const std::string_view refusal = rules::real_argument_error(z, low, high);
    if (!refusal.empty()) return vm_error::fail(refusal);
    value = z.re;
    return 0;
}

int read_argument(EvalContext& vm, const char*& p, char format, const ArgSlot* slot) {
    switch (format) {
        case 'c': {
            Complex* out = slot_as<Complex>(slot);
            if (!out) return internal_error("va_arg(c)");
            return eval_expr(vm, p, *out);
        }
        case 'd': {
            double* out = slot_as<double>(slot);
            if (!out) return internal_error("va_arg(d)");
            Complex z;
            if (eval_expr(vm, p, z) < 0) return -1;
            if (!rules::is_real(z)) return vm_error::fail("虚数引数は無効");
            *out = z.re;
            return 0;
        }
        case 'p':
            p = skip_blanks(p);
            if (*p == '#') ++p;
            [[fallthrough]];
        case 'l': {
            int32_t* out = slot_as<int32_t>(slot);
            if (!out) return internal_error("va_arg(l)");
            double value = 0;
            if (real_in_range(vm, p, rules::kLowestInt32Argument, rules::kHighestInt32Argument, value) < 0) return -1;
            *out = static_cast<int32_t>(value);
            return 0;
        }
        case 'L': {
            int64_t* out = slot_as<int64_t>(slot);
            if (!out) return internal_error("va_arg(L)");
            double value = 0;
            if (real_in_range(vm, p, rules::kLowestInt64Argument, rules::kHighestInt64Argument, value) < 0) return -1;
            *out = to_int64(value);
            return 0;
        }
        case 's': {
            C_STR* out = slot_as<C_STR>(slot);
            if (!out) return internal_error("va_arg(s)");
            return eval_string_value(vm, p, *out);
        }
        case 'A': {
            int64_t* out = slot_as<int64_t>(slot);
            if (!out) return internal_error("va_arg(A)");
            const void* storage = variable_storage_address(vm, p);
            if (!storage) return vm_error::fail("変数がない");
            *out = static_cast<int64_t>(reinterpret_cast<intptr_t>(storage));
            return 0;
        }
        default: return internal_error("*fmt");
    }
}

}  // namespace

int fetch_args(EvalContext& vm, const char*& p, std::string_view name, std::string_view format,
               std::initializer_list<ArgSlot> slots) {
    size_t count = 0;
    return fetch_args_counted(vm, p, name, format, slots, count);
}

int fetch_args_counted(EvalContext& vm, const char*& p, std::string_view name, std::string_view format,
                       std::initializer_list<ArgSlot> slots, size_t& count) {
    const char* q = p;
    if (match_keyword(q, name) < 0) return -1;
    q = skip_blanks(q);
    if (*q != '(') return -1;
    ++q;
    size_t read = 0;
    for (const char argument : format) {
        if (argument == '|') {
            if (*skip_blanks(q) == ')') break;
            continue;
        }
        if (read > 0) {
            q = skip_blanks(q);
            if (*q != ',') return vm_error::fail(", が必要");
            ++q;
        }
        const ArgSlot* slot = read < slots.size() ? slots.begin() + read : nullptr;
        if (read_argument(vm, q, argument, slot) < 0) return -1;
        ++read;
    }
    q = skip_blanks(q);
    if (*q != ')') return vm_error::fail("対応する ) がない");
    p = q + 1;
    count = read;
    return 0;
}

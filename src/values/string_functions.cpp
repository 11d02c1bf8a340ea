// chr$ hex$ date$ time$ left$ mid$ mki$ mks$ mkd$ oct$ right$ space$ str$ string$,
// tried by the first letter of the name, then the readers registered in the context.
#include "values/string_functions.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "values/error.h"
#include "values/eval_context.h"
#include "values/fetch_args.h"
#include "values/language_rules.h"
#include "values/number_format.h"
#include "values/text_scan.h"

namespace {

using Result = BuiltinResult;

std::tm local_now() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    return parts;
}

void format_into(C_STR& out, const char* format, auto... values) {
    char buffer[64];
    const int n = std::snprintf(buffer, sizeof buffer, format, values...);
    out.assign(std::string_view(buffer, static_cast<size_t>(std::max(n, 0))));
}

template <typename T>
void bytes_of(C_STR& out, T value) {
    char bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    out.assign(std::string_view(bytes, sizeof value));
}

Result string_function_c(EvalContext& vm, const char*& p, C_STR& out) {
    int32_t n;
    if (!names_call(p, "chr$")) return Result::NotBuiltin;
    if (fetch_args(vm, p, "chr$", "l", {&n}) < 0) return Result::Failed;
    const char byte = rules::byte_of_code(n);
    out.assign(std::string_view(&byte, 1));
    return Result::Done;
}

Result string_function_h(EvalContext& vm, const char*& p, C_STR& out) {
    int64_t n;
    if (!names_call(p, "hex$")) return Result::NotBuiltin;
    if (fetch_args(vm, p, "hex$", "L", {&n}) < 0) return Result::Failed;
    format_into(out, "%" PRIX64, static_cast<uint64_t>(n));
    return Result::Done;
}

Result string_function_o(EvalContext& vm, const char*& p, C_STR& out) {
    int64_t n;
    if (!names_call(p, "oct$")) return Result::NotBuiltin;
    if (fetch_args(vm, p, "oct$", "L", {&n}) < 0) return Result::Failed;
    format_into(out, "%" PRIo64, static_cast<uint64_t>(n));
    return Result::Done;
}

Result string_function_d(const char*& p, C_STR& out) {
    const char* q = skip_blanks(p);
    if (!starts_with_nocase(q, "date$")) return Result::NotBuiltin;
    const std::tm now = local_now();
    format_into(out, "%02d/%02d/%02d", now.tm_year % 100, now.tm_mon + 1, now.tm_mday);
    p = q + 5;
    return Result::Done;
}

Result string_function_t(const char*& p, C_STR& out) {
    const char* q = skip_blanks(p);
    if (!starts_with_nocase(q, "time$")) return Result::NotBuiltin;
    const std::tm now = local_now();
    format_into(out, "%02d:%02d:%02d", now.tm_hour, now.tm_min, now.tm_sec);
    p = q + 5;
    return Result::Done;
}

Result string_function_l(EvalContext& vm, const char*& p, C_STR& out) {
    C_STR s;
    int32_t n;
    if (!names_call(p, "left$")) return Result::NotBuiltin;
    if (fetch_args(vm, p, "left$", "sl", {&s, &n}) < 0) return Result::Failed;
    out.assign(rules::left_part(s.view(), n));
    return Result::Done;
}

Result string_function_r(EvalContext& vm, const char*& p, C_STR& out) {
    C_STR s;
    int32_t n;
    if (!names_call(p, "right$")) return Result::NotBuiltin;
    if (fetch_args(vm, p, "right$", "sl", {&s, &n}) < 0) return Result::Failed;
    out.assign(rules::right_part(s.view(), n));
    return Result::Done;
}

Result string_function_m(EvalContext& vm, const char*& p, C_STR& out) {
    const char* q = skip_blanks(p);
    if (names_call(q, "mid$")) {
        C_STR s;
        int32_t position, count;
        if (fetch_args(vm, q, "mid$", "sll", {&s, &position, &count}) < 0) return Result::Failed;
        out.assign(rules::middle_part(s.view(), position, count));
    } else if (names_call(q, "mki$")) {
        int32_t n;
        if (fetch_args(vm, q, "mki$", "l", {&n}) < 0) return Result::Failed;
        bytes_of(out, static_cast<int16_t>(n & 0xFFFF));
    } else if (names_call(q, "mks$")) {
        double x;
        if (fetch_args(vm, q, "mks$", "d", {&x}) < 0) return Result::Failed;
        bytes_of(out, static_cast<float>(x));
    } else if (names_call(q, "mkd$")) {
        double x;
        if (fetch_args(vm, q, "mkd$", "d", {&x}) < 0) return Result::Failed;
        bytes_of(out, x);
    } else {
        return Result::NotBuiltin;
    }
    p = q;
    return Result::Done;
}

Result string_function_s(EvalContext& vm, const char*& p, C_STR& out) {
    const char* q = skip_blanks(p);
    if (names_call(q, "space$")) {
        int32_t n;
        if (fetch_args(vm, q, "space$", "l", {&n}) < 0) return Result::Failed;
        out.assign(std::string(rules::repeat_count(n), ' '));
    } else if (names_call(q, "str$")) {
        Complex z;
        if (fetch_args(vm, q, "str$", "c", {&z}) < 0) return Result::Failed;
        out.assign(format_default(z.re, z.im));
    } else if (names_call(q, "string$")) {
        int32_t n, c;
        if (fetch_args(vm, q, "string$", "ll", {&n, &c}) < 0) return Result::Failed;
        out.assign(std::string(rules::repeat_count(n), rules::byte_of_code(c)));
    } else {
        return Result::NotBuiltin;
    }
    p = q;
    return Result::Done;
}

}  // namespace

BuiltinResult eval_string_function(EvalContext& vm, const char*& p, C_STR& out) {
    const char* q = skip_blanks(p);
    Result result = Result::NotBuiltin;
    switch (to_lower(*q)) {
        case 'c': result = string_function_c(vm, q, out); break;
        case 'h': result = string_function_h(vm, q, out); break;
        case 'd': result = string_function_d(q, out); break;
        case 't': result = string_function_t(q, out); break;
        case 'l': result = string_function_l(vm, q, out); break;
        case 'm': result = string_function_m(vm, q, out); break;
        case 'o': result = string_function_o(vm, q, out); break;
        case 'r': result = string_function_r(vm, q, out); break;
        case 's': result = string_function_s(vm, q, out); break;
        default: break;
    }
    for (size_t i = 0; result == Result::NotBuiltin && i < vm.libraries.string().size(); ++i)
        result = vm.libraries.string()[i](vm, q, out);
    if (result == Result::Done) p = q;
    return result;
}

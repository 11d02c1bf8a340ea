// def fn: a user function of up to ten parameters whose body is kept as source text.
#include <memory>

#include "interp/statements.h"
#include "interp/vmbas.h"
#include "values/error.h"
#include "values/evaluator.h"
#include "values/names.h"
#include "values/text_scan.h"
#include "values/user_functions.h"

namespace {

constexpr std::string_view kDefUsage = messages::translatable("使用法:def fnx(x,y)=数式");

bool begins_with_fn(std::string_view name) { return name.size() >= 2 && starts_with_nocase(name.data(), "fn"); }

int read_parameters(const char*& p, UserFunction& function) {
    const char* open = skip_blanks(p);
    if (*open != '(') return 0;
    p = skip_blanks(open + 1);
    if (*p == ')') {
        ++p;
        return 0;
    }
    for (;;) {
        if (function.parameter_count == kMaxParameters) return vm_error::fail("引数が多すぎる");
        std::string_view name;
        int type;
        if (!scan_var_name(p, name, type)) return vm_error::fail("引数名が無効");
        function.parameter_names[static_cast<size_t>(function.parameter_count)] = std::string(name);
        function.parameter_types[static_cast<size_t>(function.parameter_count)] = type;
        ++function.parameter_count;
        p = skip_blanks(p);
        if (*p == ',') {
            ++p;
            continue;
        }
        if (*p != ')') return -1;
        ++p;
        return 0;
    }
}

int read_body(C_VMBAS& vm, const char*& p, bool body_is_string, std::string& body) {
    if (body_is_string) {
        // Anything but a string with some text in it leaves no body to keep; a
        // message of the string expression itself still comes first.
        C_STR text;
        if (eval_string_value(vm, p, text) < 0 || *skip_blanks(text.c_str()) == '\0')
            return vm_error::fail("数式となる文字列がない");
        body.assign(text.view());
        return 0;
    }
    const char* q = skip_blanks(p);
    if (*q == '\0' || *q == ':' || *q == '\'' || (starts_with_nocase(q, "rem") && !is_name_char(q[3])))
        return vm_error::fail("数式がない");
    body.assign(q);
    p = q + body.size();
    return 0;
}

}  // namespace

int stmt_def(C_VMBAS& vm, const char*& p) {
    p = skip_blanks(p);
    const bool body_is_string = *p == '$';
    if (body_is_string) ++p;
    std::string_view name;
    int type;
    if (!scan_var_name(p, name, type) || !begins_with_fn(name)) return vm_error::fail(kDefUsage);
    auto function = std::make_unique<UserFunction>();
    function->name = std::string(name);
    if (read_parameters(p, *function) < 0) return -1;
    p = skip_blanks(p);
    if (*p != '=') return vm_error::fail(kDefUsage);
    ++p;
    if (read_body(vm, p, body_is_string, function->body) < 0) return -1;
    vm.functions.define(std::move(function));
    return 0;
}

// def fn and calls of user-defined functions.
#include "values/user_functions.h"

#include "interp/error.h"
#include "interp/names.h"
#include "interp/program_store.h"
#include "interp/statements.h"
#include "interp/vmbas.h"
#include "values/evaluator.h"
#include "values/text_scan.h"

namespace {

constexpr std::string_view kDefUsage = "使用法:def fnx(x,y)=数式";

// A body can call its own function, and with no conditional expression such a
// recursion never ends by itself; calls are therefore bounded. Once the bound is hit,
// every further call fails at once until the outermost call has returned: a body
// that calls its function twice would otherwise descend to the bound again for each
// call, taking exponential time.
constexpr int kMaxCallDepth = 100;

class CallDepth {
public:
    CallDepth() { ++depth_; }
    ~CallDepth() {
        if (--depth_ == 0) exhausted_ = false;
    }
    CallDepth(const CallDepth&) = delete;
    CallDepth& operator=(const CallDepth&) = delete;

    // False, with the message stored, when this call may not go deeper.
    static bool allowed() {
        if (!exhausted_ && depth_ < kMaxCallDepth) return true;
        exhausted_ = true;
        vm_error::fail("関数の呼び出しが深すぎる");
        return false;
    }

private:
    static inline int depth_ = 0;
    static inline bool exhausted_ = false;
};

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

// One argument's value, kept until every argument has been read.
struct Argument {
    Complex number;
    C_STR string;
};

// An integer parameter, or any parameter of an integer function, holds whole numbers
// only.
bool truncates(const UserFunction& function, int parameter_type) {
    return parameter_type == VT_INTEGER || function.type() == VT_INTEGER;
}

int read_argument(C_VMBAS& vm, const char*& p, const UserFunction& function, int k, Argument& argument) {
    const int parameter_type = function.parameter_types[static_cast<size_t>(k)];
    if (parameter_type == VT_STRING)
        return eval_string_value(vm, p, argument.string) < 0 ? vm_error::fail("引数の型が不一致") : 0;
    if (eval_expr(vm, p, argument.number) < 0) return vm_error::fail("引数の型が不一致");
    if (truncates(function, parameter_type)) argument.number = coerce_to_type(argument.number, VT_INTEGER);
    return 0;
}

int read_arguments(C_VMBAS& vm, const char*& p, const UserFunction& function, std::vector<Argument>& arguments) {
    const char* q = skip_blanks(p);
    if (*q == '(' && *skip_blanks(q + 1) != ')') {
        ++q;
        for (;;) {
            const int k = static_cast<int>(arguments.size());
            if (k == kMaxParameters) return vm_error::fail("引数が多すぎる");
            if (k >= function.parameter_count) return vm_error::fail("引数の数が不一致");
            if (read_argument(vm, q, function, k, arguments.emplace_back()) < 0) return -1;
            q = skip_blanks(q);
            if (*q == ',') {
                ++q;
                continue;
            }
            if (*q != ')') return vm_error::fail(") が必要");
            ++q;
            break;
        }
    } else if (*q == '(') {
        q = skip_blanks(q + 1) + 1;
    }
    if (static_cast<int>(arguments.size()) < function.parameter_count) return vm_error::fail("引数の数が不一致");
    p = q;
    return 0;
}

// The parameters are bound only after every argument has been read, so that an
// argument naming a variable that is also a parameter gets the caller's variable.
int bind_arguments(C_VMBAS& vm, const char*& p, const UserFunction& function) {
    std::vector<Argument> arguments;
    if (read_arguments(vm, p, function, arguments) < 0) return -1;
    for (size_t k = 0; k < arguments.size(); ++k) {
        PCVAR* parameter = vm.variables.create(function.parameter_names[k]);
        if (!parameter) return vm_error::fail("変数作成失敗");
        if (function.parameter_types[k] == VT_STRING)
            parameter->string_value = std::move(arguments[k].string);
        else
            parameter->value = arguments[k].number;
    }
    return 0;
}

int evaluate_body(C_VMBAS& vm, const UserFunction& function, Complex* number, C_STR* string) {
    const char* body = function.body.c_str();
    switch (function.type()) {
        case VT_DOUBLE:
        case VT_COMPLEX: return eval_expr(vm, body, *number);
        case VT_INTEGER:
            if (eval_expr(vm, body, *number) < 0) return -1;
            *number = coerce_to_type(*number, VT_INTEGER);
            return 0;
        case VT_STRING: return eval_string_value(vm, body, *string);
        default: return vm_error::fail("関数型が不明");
    }
}

}  // namespace

int UserFunction::type() const { return type_of_name(name); }

const UserFunction* UserFunctions::find(std::string_view name) const {
    for (const auto& function : functions_)
        if (equals_nocase(function->name, name)) return function.get();
    return nullptr;
}

void UserFunctions::define(std::unique_ptr<UserFunction> function) {
    function->serial = next_serial_++;
    ++generation_;
    for (auto& existing : functions_) {
        if (equals_nocase(existing->name, function->name)) {
            existing = std::move(function);
            return;
        }
    }
    functions_.insert(functions_.begin(), std::move(function));
}

int def_fn(C_VMBAS& vm, const char*& p) {
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

CallResult call_fn(C_VMBAS& vm, const char*& p, Complex* number, C_STR* string) {
    const char* q = p;
    std::string_view name;
    int type;
    if (!scan_var_name(q, name, type)) return CallResult::NotAFunction;
    const UserFunction* function = vm.functions.find(name);
    if (!function) return CallResult::NotAFunction;
    const bool wants_string = string != nullptr;
    if ((function->type() == VT_STRING) != wants_string) {
        vm_error::fail("関数型が不一致");
        return CallResult::Failed;
    }
    if (!CallDepth::allowed()) return CallResult::Failed;
    const CallDepth depth;
    // Parameters and variables first mentioned during the call go when it ends.
    const size_t mark = vm.variables.mark();
    Complex number_result;
    C_STR string_result;
    const bool ok = bind_arguments(vm, q, *function) == 0 &&
                    evaluate_body(vm, *function, &number_result, &string_result) == 0;
    vm.variables.release_to(mark);
    if (!ok) return CallResult::Failed;
    if (wants_string)
        *string = std::move(string_result);
    else
        *number = number_result;
    p = q;
    return CallResult::Done;
}

int stmt_def(C_VMBAS& vm, const char*& p) { return def_fn(vm, p); }

// The user-defined functions of def fn, and their calls.
#include "values/user_functions.h"

#include "values/error.h"
#include "values/eval_context.h"
#include "values/evaluator.h"
#include "values/language_rules.h"
#include "values/names.h"
#include "values/text_scan.h"

namespace {

// A body can call its own function, and with no conditional expression such a
// recursion never ends by itself; calls are therefore bounded. Once the bound is hit,
// every further call fails at once until the outermost call has returned: a body
// that calls its function twice would otherwise descend to the bound again for each
// call, taking exponential time.
constexpr int kMaxCallDepth = 100;

class CallDepth {
public:
    explicit CallDepth(CallNesting& nesting) : nesting_(nesting) { ++nesting_.depth; }
    ~CallDepth() {
        if (--nesting_.depth == 0) nesting_.exhausted = false;
    }
    CallDepth(const CallDepth&) = delete;
    CallDepth& operator=(const CallDepth&) = delete;

    // False, with the message stored, when a call may not go deeper.
    static bool allowed(CallNesting& nesting) {
        if (!nesting.exhausted && nesting.depth < kMaxCallDepth) return true;
        nesting.exhausted = true;
        vm_error::fail("関数の呼び出しが深すぎる");
        return false;
    }

private:
    CallNesting& nesting_;
};

// One argument's value, kept until every argument has been read.
struct Argument {
    Complex number;
    C_STR string;
};

int read_argument(EvalContext& vm, const char*& p, const UserFunction& function, int k, Argument& argument) {
    const int parameter_type = function.parameter_types[static_cast<size_t>(k)];
    if (parameter_type == VT_STRING)
        return eval_string_value(vm, p, argument.string) < 0 ? vm_error::fail("引数の型が不一致") : 0;
    if (eval_expr(vm, p, argument.number) < 0) return vm_error::fail("引数の型が不一致");
    if (rules::parameter_is_whole(parameter_type, function.type())) argument.number = coerce_to_type(argument.number, VT_INTEGER);
    return 0;
}

int read_arguments(EvalContext& vm, const char*& p, const UserFunction& function, std::vector<Argument>& arguments) {
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
int bind_arguments(EvalContext& vm, const char*& p, const UserFunction& function) {
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

int evaluate_body(EvalContext& vm, const UserFunction& function, Complex* number, C_STR* string) {
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

CallResult call_fn(EvalContext& vm, const char*& p, Complex* number, C_STR* string) {
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
    if (!CallDepth::allowed(vm.functions.nesting)) return CallResult::Failed;
    const CallDepth depth(vm.functions.nesting);
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

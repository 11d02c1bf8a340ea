// The built-in functions that return a number, called when a name is followed by "(".
#pragma once
#include <string_view>
#include <vector>

#include "values/c_str.h"
#include "values/complex.h"

struct EvalContext;

enum class BuiltinResult { Done, Failed, NotBuiltin };

// The arguments of a call, by kind and position, as the function's format reads them.
struct BuiltinArgs {
    Complex c[3];
    double d[3] = {};
    int32_t l[3] = {};
    int64_t L[3] = {};
    C_STR s[3];
};

// Formats as fetch_args reads them; `compute` fails with its message or returns 0.
struct BuiltinFunction {
    std::string_view name;
    std::string_view format;
    int (*compute)(EvalContext& vm, const BuiltinArgs& args, Complex& out);
};

// The function that a call at `p` names (name and "("), as eval_builtin chooses it;
// null when none does.
const BuiltinFunction* builtin_called_at(const EvalContext& vm, const char* p);

// At the start of a name: Done with the value and the position after ")"; Failed (with
// the argument message) when a function matched; NotBuiltin when none did.
BuiltinResult eval_builtin(EvalContext& vm, const char*& p, Complex& out);

// The names of these functions, once each, for Tab completion.
std::vector<std::string_view> builtin_function_names(const EvalContext& vm);

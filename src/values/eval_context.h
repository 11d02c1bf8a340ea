// What the evaluator works on: the variables and functions, the random generator, the
// option base, err and erl, the nesting depth, and the function libraries registered
// beyond the core built-ins. The interpreter is one; the evaluator needs no more.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "values/builtin_functions.h"
#include "values/random.h"
#include "values/user_functions.h"
#include "values/variables.h"

// Reads a string function at `p` as eval_string_function does, with the same results.
using StringFunctionReader = BuiltinResult (*)(EvalContext& context, const char*& p, C_STR& out);

// Each library registers its functions here; they are tried after the core ones, in
// the order registered. The tables are static, so compiled code may keep pointers into them.
struct FunctionLibraries {
    std::vector<std::span<const BuiltinFunction>> numeric;
    std::vector<StringFunctionReader> string;
};

struct EvalContext {
    UserFunctions functions;
    VariableStore variables;
    RandomNumbers random;
    int option_base = 0;
    int32_t err = 0;
    int32_t erl = 0;

    // Nesting of evaluations and function calls, bounded so that no input can
    // exhaust the machine stack.
    int eval_depth = 0;

    FunctionLibraries libraries;
};

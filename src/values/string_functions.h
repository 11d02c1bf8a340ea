// The built-in functions whose names end in "$" and return strings.
#pragma once
#include "values/builtin_functions.h"
#include "values/c_str.h"

struct EvalContext;

// Done with the string and the position after the call; Failed (with the argument
// message) when a function matched; NotBuiltin when none did.
BuiltinResult eval_string_function(EvalContext& vm, const char*& p, C_STR& out);

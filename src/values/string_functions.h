// The built-in functions whose names end in "$" and return strings.
#pragma once
#include "values/builtin_functions.h"
#include "values/c_str.h"

class C_VMBAS;

// Done with the string and the position after the call; Failed (with the argument
// message) when a function matched; NotBuiltin when none did.
BuiltinResult eval_string_function(C_VMBAS& vm, const char*& p, C_STR& out);

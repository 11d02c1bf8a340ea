// The built-in functions that return a number, called when a name is followed by "(".
#pragma once
#include <string_view>
#include <vector>

#include "values/complex.h"

class C_VMBAS;

enum class BuiltinResult { Done, Failed, NotBuiltin };

// At the start of a name: Done with the value and the position after ")"; Failed (with
// the argument message) when a function matched; NotBuiltin when none did.
BuiltinResult eval_builtin(C_VMBAS& vm, const char*& p, Complex& out);

// The names of these functions, once each, for Tab completion.
std::vector<std::string_view> builtin_function_names();

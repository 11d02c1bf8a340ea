// The built-in functions whose names end in "$" and return strings.
#pragma once
#include "values/c_str.h"

class C_VMBAS;

// -1 when no string function matches (no message) or its arguments fail (message).
int eval_string_function(C_VMBAS& vm, const char*& p, C_STR& out);

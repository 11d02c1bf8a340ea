// The template of print using: "+", "#", ",", ".", "^" build one number format.
#pragma once
#include "values/number_format.h"

struct EvalContext;

// After the keyword using: the template expression and its ";".
int parse_using_clause(EvalContext& vm, const char*& p, NumberFormat& format);

// The template of print using: "+", "#", ",", ".", "^" build one number format.
#pragma once
#include "values/number_format.h"

class C_VMBAS;

// After the keyword using: the template expression and its ";".
int parse_using_clause(C_VMBAS& vm, const char*& p, NumberFormat& format);

// The expression evaluator: recursive descent straight over the source text, one
// function per precedence level, yielding a complex value or a string.
#pragma once
#include <cstdint>

#include "values/c_str.h"
#include "values/complex.h"

struct EvalContext;

// The full numeric expression (logical operators at the loosest level).
[[nodiscard]] int eval_expr(EvalContext& vm, const char*& p, Complex& out);
// eval_expr, then the real part (the imaginary part is ignored).
[[nodiscard]] int eval_real(EvalContext& vm, const char*& p, double* out);
// eval_expr, then the real part truncated to 32 bits (out of range or NaN: INT32_MIN).
int eval_int32(EvalContext& vm, const char*& p, int32_t* out);
// A string expression: operands joined by "+".
[[nodiscard]] int eval_string(EvalContext& vm, const char*& p, C_STR& out);
// eval_string, refused when a comparison operator follows (that belongs to eval_expr).
[[nodiscard]] int eval_string_value(EvalContext& vm, const char*& p, C_STR& out);
// A value that may be either, as print and write take it: the string of
// eval_string_value when that succeeds, else the number of eval_expr (the error buffer
// cleared first), with the text read only once.
[[nodiscard]] int eval_string_or_number(EvalContext& vm, const char*& p, C_STR& text, Complex& number, bool& is_string);

// Every string operand is a literal or a name ending in "$" (variable, element,
// function or fn); true when one may begin at `p`.
bool may_begin_string(const char* p);

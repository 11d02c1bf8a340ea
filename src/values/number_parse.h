// Reading numbers from text: numeric literals inside expressions, and complex numbers
// written as text for input, read, val and variable editing.
#pragma once
#include "values/complex.h"

// One unsigned literal: &h/0x hexadecimal, & octal, or the longest prefix that strtod
// accepts without a sign (inf, nan and hexadecimal floats included). No leading blanks.
[[nodiscard]] int parse_number(const char*& p, double& value);

// [sign][number][i][sign[number]i], a missing coefficient counting as 1.
[[nodiscard]] int parse_complex_text(const char*& p, Complex& value);

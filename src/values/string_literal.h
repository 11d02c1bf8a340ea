// String literals: bytes between double quotes, with no escape for a quote.
#pragma once
#include "values/c_str.h"

// After blanks; fails without a message when the line ends before the closing quote,
// and with "文字列長超過" for more than 255 bytes.
[[nodiscard]] int scan_string_literal(const char*& p, C_STR& out);

// Names of variables, functions and labels: letters, digits and "_", at most 40
// characters, not a reserved word and not the imaginary unit "i".
#pragma once
#include <string_view>

#include "values/complex.h"

inline constexpr size_t kMaxNameLength = 40;

// Scans a name after blanks; on success `name` views the source text and the position
// moves past it. Reserved words and overlong names leave their message and fail.
bool scan_name(const char*& p, std::string_view& name);

// A name with its optional type suffix ("#", "%", "$"); `name` includes the suffix.
bool scan_var_name(const char*& p, std::string_view& name, int& type);

// The reserved word equal to `name` (as listed), or an empty view.
std::string_view reserved_word(std::string_view name);

// The type code that a name's last character implies.
int type_of_name(std::string_view name_with_suffix);

// Names handed to the operating system: files, directories, commands and their
// arguments, which the system reads only up to a NUL byte.
#pragma once
#include <string>
#include <string_view>

class C_VMBAS;

// Evaluates a string expression into `name`. A string that holds a NUL byte would
// name something else than it says (the part before it), so it fails with `message`,
// the statement's own, as an expression that is no string does.
[[nodiscard]] int eval_file_name(C_VMBAS& vm, const char*& p, std::string_view message, std::string& name);

// Translating one statement of a program line into compiled form.
#pragma once
#include <cstdint>

#include "engine/compiled_code.h"

class C_VMBAS;

namespace compiled {

// The statement that begins at `p` in the text `body`: its index in `code`, or
// kTextOnly when the text interpreter must run it. The error buffer is left as it was.
int32_t compile_statement(C_VMBAS& vm, CompiledLine& code, const char* body, const char* p);

}  // namespace compiled

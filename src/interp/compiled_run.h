// Running one compiled statement.
#pragma once
#include "interp/compiled_code.h"
#include "interp/compiled_engine.h"

class C_VMBAS;

namespace compiled {

// Runs `statement` of the line whose text (after indentation) is `body`; Declined
// leaves everything as the text interpreter expects to find it.
Outcome run_compiled(C_VMBAS& vm, CompiledLine& code, const Statement& statement, const char*& p, const char* body);

}  // namespace compiled

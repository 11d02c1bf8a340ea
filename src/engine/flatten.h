// Flattening a compiled statement's numeric expressions into postfix programs, which
// run as one loop over a small stack instead of a walk of the tree.
#pragma once
#include <cstddef>

#include "engine/compiled_code.h"

namespace compiled {

// The step of a binary operator node; End for any other node.
Step binary_step(Op op);

// Gives the statement programs in place of its numeric expression trees.
void flatten(CompiledLine& code, Statement& statement);
// The same for the numeric bodies of the calls from `first` on.
void flatten_calls(CompiledLine& code, size_t first);

}  // namespace compiled

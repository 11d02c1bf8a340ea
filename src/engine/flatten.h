// Flattening a statement's expression trees into programs of its line's one array of
// instructions, which run as one loop over a stack of values and one of texts.
#pragma once

#include "engine/compiled_code.h"
#include "engine/trees.h"

namespace compiled {

// Gives the statement, the line's statement `index`, its code and the programs of its
// expressions `roots`, and the calls they make the programs of their bodies; false
// where a program would need deeper stacks than programs have, and the statement is
// left to the text interpreter.
[[nodiscard]] bool flatten(CompiledLine& code, const Trees& trees, const Roots& roots, Statement& statement,
                           int32_t index);

}  // namespace compiled

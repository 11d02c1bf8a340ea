// Showing compiled code as it is made: with VELMORA_DUMP=1 in the environment, every
// statement the engine compiles, or leaves to the text interpreter, is written to the
// standard error, one step a line with its meaning.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "engine/compiled_code.h"

namespace compiled {

// VELMORA_DUMP=1, read once.
bool dumping();

// Statement `index` of `code` (or kTextOnly), compiled at `offset` of line `line_number`,
// with the calls it compiled from `first_call` on.
void dump_statement(std::FILE* out, const CompiledLine& code, int32_t line_number, int32_t offset, int32_t index,
                    size_t first_call);

}  // namespace compiled

// The invariants of compiled code, which debug builds assert as each statement is
// compiled: a fault in the compiler shows there, not as a wrong value much later.
#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/compiled_code.h"

namespace compiled {

// Whether statement `index` of `code` keeps them: every slot, string, built-in and
// call it names lies inside its arrays, every text offset inside the line, and each
// of its programs, and of the calls compiled from `first_call` on, ends with the
// stacks holding what its user reads, never deeper than programs may go.
bool well_formed(const CompiledLine& code, int32_t index, size_t first_call);

}  // namespace compiled

// Line ranges of list and delete: "from", "from-", "from-to" (or "," for "-"), each
// bound a line number or a label.
#pragma once
#include <cstdint>

class C_VMBAS;

struct LineRange {
    int32_t from = 0;  // 0 when no first bound was given
    int32_t to = 0;  // 0 when the second bound is not valid; INT32_MAX for "from-"
};

// Reads what bounds there are; the position moves past them.
void read_line_range(C_VMBAS& vm, const char*& p, LineRange& range);

// Parsing line ranges.
#include "interp/line_range.h"

#include <climits>

#include "interp/program_store.h"
#include "interp/vmbas.h"
#include "values/text_scan.h"

void read_line_range(C_VMBAS& vm, const char*& p, LineRange& range) {
    range = LineRange{};
    range.from = parse_jump_target(vm.program, p);
    if (range.from == 0) return;
    const char* q = skip_blanks(p);
    if (*q != '-' && *q != ',') {
        range.to = range.from;
        return;
    }
    p = q + 1;
    if (at_statement_end(p)) {
        range.to = INT32_MAX;
        return;
    }
    range.to = parse_jump_target(vm.program, p);
}

// Channel prefix parsing.
#include "interp/channel_prefix.h"

#include "interp/vmbas.h"
#include "values/error.h"
#include "values/evaluator.h"
#include "values/text_scan.h"

bool read_channel_number(C_VMBAS& vm, const char*& p, int& channel) {
    p = skip_blanks(p);
    if (*p == '#') ++p;
    Complex value;
    if (eval_expr(vm, p, value) < 0) return false;
    const int64_t n = to_int64(value.re);
    if (!is_openable_channel(n)) return false;
    channel = static_cast<int>(n);
    return true;
}

int parse_channel_prefix(C_VMBAS& vm, const char*& p) {
    const char* q = skip_blanks(p);
    if (*q != '#') return CHANNEL_CONSOLE;
    ++q;
    p = q;
    Complex value;
    if (eval_expr(vm, q, value) < 0) {
        vm_error::clear();  // a bad prefix only discards the output
        return CHANNEL_INVALID;
    }
    p = q;
    q = skip_blanks(q);
    if (*q != ',') return CHANNEL_INVALID;
    p = q + 1;
    const int64_t n = to_int64(value.re);
    if (!is_openable_channel(n) || !vm.io.record(static_cast<int>(n)).is_open()) return CHANNEL_INVALID;
    return static_cast<int>(n);
}

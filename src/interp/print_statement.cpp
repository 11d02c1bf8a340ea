// print, "?" and lprint: items separated by "," (next print zone) or ";" (nothing), with
// tab() and spc(), an optional "#n," channel and an optional using template.
#include <algorithm>
#include <cmath>
#include <string>

#include "interp/channel_prefix.h"
#include "interp/program_store.h"
#include "interp/statements.h"
#include "interp/vmbas.h"
#include "io/print_using.h"
#include "values/error.h"
#include "values/evaluator.h"
#include "values/number_format.h"
#include "values/text_scan.h"

namespace {

bool item_absent(char c) { return c == '\0' || c == ',' || c == ':' || c == ';'; }

// tab(n) writes n blanks, spc(n) n + 1; -1 on error, 0 when done, 1 when not a tab/spc.
int print_spacing(C_VMBAS& vm, const char*& p, int channel) {
    const char* q = p;
    int extra;
    if (match_keyword(q, "tab") == 0)
        extra = 0;
    else if (match_keyword(q, "spc") == 0)
        extra = 1;
    else
        return 1;
    q = skip_blanks(q);
    if (*q != '(') return 1;
    p = q + 1;
    Complex value;
    if (eval_expr(vm, p, value) < 0) return vm_error::fail("SPC/TAB 引数が必要");
    p = skip_blanks(p);
    if (*p != ')') return vm_error::fail(") が必要");
    ++p;
    // Counted in doubles: a huge or NaN argument is refused, not wrapped into a small count.
    const double count = std::max(std::trunc(value.re) + extra, 0.0);
    if (!(count <= 255) || value.im != 0.0) return vm_error::fail("SPC/TAB 引数が無効");
    vm.io.chan_printf(channel, "%s", std::string(static_cast<size_t>(count), ' ').c_str());
    return 0;
}

int print_item(C_VMBAS& vm, const char*& p, int channel, const NumberFormat& format) {
    const int spacing = print_spacing(vm, p, channel);
    if (spacing <= 0) return spacing;
    C_STR text;
    Complex value;
    bool is_string;
    if (eval_string_or_number(vm, p, text, value, is_string) < 0) return -1;
    if (is_string)
        vm.io.put_bytes(channel, text.view());
    else
        vm.io.chan_printf(channel, "%s", format_number(format, value.re, value.im).c_str());
    return 0;
}

int print_to(C_VMBAS& vm, const char*& p, int channel) {
    NumberFormat format;
    if (match_keyword(p, "using") == 0 && parse_using_clause(vm, p, format) < 0) return -1;
    if (at_statement_end(p)) {  // a bare print, a comment right after it included
        vm.io.put_char(channel, '\n');
        return 0;
    }
    for (;;) {
        p = skip_blanks(p);
        if (!item_absent(*p) && print_item(vm, p, channel, format) < 0) return -1;
        p = skip_blanks(p);
        if (*p == ',' || *p == ';') {
            if (*p == ',') vm.io.put_char(channel, '\t');
            ++p;
            if (at_statement_end(p)) return 0;
            continue;
        }
        if (at_statement_end(p)) {
            vm.io.put_char(channel, '\n');
            return 0;
        }
    }
}

}  // namespace

int stmt_print(C_VMBAS& vm, const char*& p) { return print_to(vm, p, parse_channel_prefix(vm, p)); }

int stmt_lprint(C_VMBAS& vm, const char*& p) { return print_to(vm, p, CHANNEL_PRINTER); }

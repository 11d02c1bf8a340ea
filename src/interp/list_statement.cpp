// list and llist: show program lines after their line numbers, the first line at or after the start always.
#include <algorithm>
#include <climits>

#include "interp/line_range.h"
#include "interp/program_store.h"
#include "interp/statements.h"
#include "interp/vmbas.h"
#include "io/break_flag.h"
#include "values/error.h"
#include "values/text_scan.h"

namespace {

ProgramLine* first_line_from(const ProgramStore& program, int32_t start) {
    ProgramLine* line = program.first();
    while (line && line->number < start) line = line->next;
    return line;
}

}  // namespace

int list_program(C_VMBAS& vm, const char*& p, int channel) {
    LineRange range;
    const char* q = p;
    read_line_range(vm, q, range);
    if (range.from == 0) {
        if (!at_statement_end(q)) {
            p = skip_blanks(q);
            return vm_error::fail("無効な構文");
        }
        range.from = 1;
        range.to = INT32_MAX;
    } else if (range.to == 0) {
        p = skip_blanks(q);
        return vm_error::fail("表示行がない");
    }
    if (!at_statement_end(q)) {
        p = skip_blanks(q);
        return vm_error::fail("無効な構文");
    }
    p = q;
    const int32_t start = std::min(range.from, range.to), end = std::max(range.from, range.to);
    ProgramLine* line = first_line_from(vm.program, start);
    if (!line) return vm_error::fail("該当行がない");
    // The listing is one print job: a form feed within it ends only the page.
    if (channel == CHANNEL_PRINTER) vm.io.listing = true;
    break_flag::clear();
    for (bool first = true; line && (first || line->number <= end); line = line->next, first = false) {
        if (!first && break_flag::is_set()) {
            vm.io.put_text(CHANNEL_CONSOLE, "^C\n");
            // The listing has answered the Ctrl-C. A statement after it on the line, or
            // the running program's next line, still stops for it; a command line that
            // ends here has nothing left to stop, and must not report it twice.
            if (!vm.is_running() && *skip_blanks(p) != ':') break_flag::clear();
            break;
        }
        vm.io.chan_printf(channel, "%s%s\n", line_number_prefix(line->number).c_str(), line->text.c_str());
    }
    if (channel == CHANNEL_PRINTER) {
        vm.io.listing = false;
        vm.io.put_char(CHANNEL_PRINTER, '\f');
    }
    return 0;
}

int stmt_list(C_VMBAS& vm, const char*& p) { return list_program(vm, p, CHANNEL_CONSOLE); }

int stmt_llist(C_VMBAS& vm, const char*& p) { return list_program(vm, p, CHANNEL_PRINTER); }

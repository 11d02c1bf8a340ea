// data, read and restore: constant items kept in lines that begin with data, read in
// program order through a data pointer.
#include <string>

#include "interp/input_items.h"
#include "interp/program_store.h"
#include "interp/statements.h"
#include "interp/vmbas.h"
#include "values/error.h"
#include "values/text_scan.h"
#include "values/variable_access.h"

namespace {

void next_data_line(C_VMBAS& vm) { vm.data = {vm.data.line->next, 0}; }

bool begins_with_data(const char* p) { return starts_with_nocase(p, "data") && !is_name_char(p[4]); }

int next_data_item(C_VMBAS& vm, std::string& item) {
    for (;;) {
        if (!vm.data.line) return vm_error::fail("DATA 不足");
        const char* body = vm.data.line->body();
        if (vm.data.offset == 0) {
            if (!begins_with_data(body)) {
                next_data_line(vm);
                continue;
            }
            vm.data.offset = 4;
        }
        const char* p = vm.data.text();
        if (at_statement_end(p)) {
            next_data_line(vm);
            continue;
        }
        if (input_item_from_line(p, item) < 0) {
            vm.data = {};
            return -1;
        }
        p = skip_blanks(p);
        if (*p == ',')
            vm.data.offset = static_cast<int32_t>(p + 1 - body);
        else
            next_data_line(vm);
        return 0;
    }
}

}  // namespace

int stmt_read(C_VMBAS& vm, const char*& p) {
    std::string item;
    for (;;) {
        if (next_data_item(vm, item) < 0 || assign_from_text(vm, p, item) < 0) return -1;
        const char* q = skip_blanks(p);
        if (*q != ',') return 0;
        p = q + 1;
    }
}

int stmt_restore(C_VMBAS& vm, const char*& p) {
    // Text that is no line number, or a label no line carries, is left for the end check.
    ProgramLine* line = vm.program.first();
    if (const int32_t target = parse_jump_target(vm.program, p); target > 0) {
        line = vm.program.find(target);
        if (!line) return vm_error::fail("該当行がない");
    }
    if (!at_statement_end(p)) {
        p = skip_blanks(p);
        return vm_error::fail("無効な構文");
    }
    vm.data = {line, 0};
    return 0;
}

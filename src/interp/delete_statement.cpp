// delete: removes a range of lines, and clears all variables even when none is there.
#include "interp/line_range.h"
#include "interp/program_store.h"
#include "interp/statements.h"
#include "interp/vmbas.h"
#include "values/error.h"
#include "values/text_scan.h"

int stmt_delete(C_VMBAS& vm, const char*& p) {
    constexpr std::string_view kUsage = messages::translatable("使用法:delete 行番号/ラベル[- 行番号/ラベル]");
    LineRange range;
    const char* q = p;
    read_line_range(vm, q, range);
    if (range.from == 0 || range.to == 0) {
        p = skip_blanks(q);
        return vm_error::fail(kUsage);
    }
    if (!at_statement_end(q)) {
        p = skip_blanks(q);
        return vm_error::fail("無効な構文");
    }
    vm.delete_lines(range.from, range.to);
    p = q;
    return 0;
}

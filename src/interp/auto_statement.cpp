// auto: prompts for numbered lines one after another, offering existing lines for
// editing, until Ctrl-C or end of input.
#include <climits>
#include <string>

#include "interp/program_store.h"
#include "interp/statements.h"
#include "interp/vmbas.h"
#include "io/code_page.h"
#include "prompt/console_line.h"
#include "values/error.h"
#include "values/evaluator.h"
#include "values/text_scan.h"

namespace {

constexpr std::string_view kUsage = messages::translatable("使用法:auto [m[,n]]");

int read_start_and_step(C_VMBAS& vm, const char*& p, int64_t& start, int64_t& step) {
    if (at_statement_end(p)) return 0;
    Complex value;
    if (eval_expr(vm, p, value) < 0) return vm_error::fail(kUsage);
    start = to_int64(value.re);
    const char* q = skip_blanks(p);
    if (*q == ',') {
        p = q + 1;
        if (eval_expr(vm, p, value) < 0) return vm_error::fail(kUsage);
        step = to_int64(value.re);
    }
    return 0;
}

}  // namespace

int stmt_auto(C_VMBAS& vm, const char*& p) {
    int64_t start = 10, step = 10;
    if (read_start_and_step(vm, p, start, step) < 0) return -1;
    if (start < 1 || step < 1 || start > INT32_MAX) return vm_error::fail(kUsage);
    if (!at_statement_end(p)) return vm_error::fail("無効な構文");
    for (int64_t number = start; number <= INT32_MAX; number += step) {
        const ProgramLine* existing = vm.program.find(number);
        const std::string offered =
            existing ? existing->text.substr(0, character_boundary(existing->text, 255)) : std::string();
        vm.io.put_bytes(CHANNEL_CONSOLE, line_number_prefix(number));
        std::string line = offered;
        if (read_console_line(vm, line, 256) != LineRead::Ok) return vm_error::fail("^C");
        // An entry left as offered stores the line whole, also one longer than the
        // 255 bytes that could be offered.
        if (existing && line == offered) line = existing->text;
        if (!line.empty()) vm.store_line(static_cast<int32_t>(number), line.c_str());
    }
    return 0;
}

// Calculator mode and the one-shot expression evaluation.
#include "prompt/calculator.h"

#include <string>

#include "interp/interpreter_entry.h"
#include "interp/run_loop.h"
#include "interp/vmbas.h"
#include "prompt/console_line.h"
#include "values/error.h"
#include "values/evaluator.h"
#include "values/number_format.h"
#include "values/text_scan.h"

int calc_print(C_VMBAS& vm, const char* line) {
    InterpreterEntry entered(vm);
    vm_error::clear();
    const char* p = line;
    // A blank line is no expression, and no failure either: Enter alone just asks again.
    if (*skip_blanks(p) == '\0') return 0;
    Complex value;
    if (eval_expr(vm, p, value) < 0) {
        print_failure_message(vm);
        vm.io.put_char(CHANNEL_CONSOLE, '\n');
        return -1;
    }
    p = skip_blanks(p);
    if (*p != '\0') {
        vm.io.put_bytes(CHANNEL_CONSOLE, p);
        vm.io.put_text(CHANNEL_CONSOLE, messages::localized(":は無効\n"));
        return -1;
    }
    vm.io.chan_printf(CHANNEL_CONSOLE, "%s\n", format_default(value.re, value.im).c_str());
    return 0;
}

void calculator_mode(C_VMBAS& vm) {
    InterpreterEntry entered(vm);
    vm.io.put_text(CHANNEL_CONSOLE, messages::localized("複素電卓 (q:終了)\n"));
    vm.io.put_char(CHANNEL_CONSOLE, ':');
    for (;;) {
        std::string line;
        if (read_console_line(vm, line, 256) != LineRead::Ok) {
            vm.io.put_text(CHANNEL_CONSOLE, "^C");
            return;
        }
        const char* p = line.c_str();
        if (match_keyword(p, "q") == 0 || match_keyword(p, "quit") == 0) return;
        calc_print(vm, line.c_str());
        vm.io.put_char(CHANNEL_CONSOLE, ':');
    }
}

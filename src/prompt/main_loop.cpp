// The interactive main loop: "OK", typed lines stored into the program or run as
// commands; and the one run of a program file named on the command line.
#include "prompt/main_loop.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>

#include "graphics/inline_windows.h"
#include "interp/interpreter_entry.h"
#include "interp/program_files.h"
#include "interp/run_loop.h"
#include "interp/vmbas.h"
#include "io/break_flag.h"
#include "io/console_input.h"
#include "prompt/console_line.h"
#include "values/messages.h"
#include "values/text_scan.h"

namespace {

constexpr size_t kConsoleLineSize = 256;

// The program named on the command line, loaded and run once. A report that ends
// the run ends its row too, piped or not, so that a shell's prompt never lands on it.
int run_program_file(C_VMBAS& vm, const char* file_name) {
    if (load_program_file(vm, file_name) < 0) {
        print_failure_message(vm);
        vm.io.end_console_row();
        return 1;
    }
    vm.set_direct_command("run");
    vm.current_line = &vm.direct_line;
    const bool reported = run_program(vm) < 0;
    if (reported) vm.io.end_console_row();
    windows_at_program_end(vm);
    return reported ? 1 : 0;
}

}  // namespace

bool store_typed_line(C_VMBAS& vm, const std::string& typed) {
    const char* p = skip_blanks(typed.c_str());
    if (!is_digit(*p)) return false;
    char* end = nullptr;
    // Numbers beyond the line-number range read as the largest line number.
    const long number = std::min<long>(std::strtol(p, &end, 10), INT32_MAX);
    if (number < 1) return false;
    const char* rest = end;
    if (*rest == '\0') {
        vm.store_line(static_cast<int32_t>(number), nullptr);
        return true;
    }
    if (*rest == ' ') ++rest;
    vm.store_line(static_cast<int32_t>(number), rest);
    return true;
}

int main_loop(C_VMBAS& vm, const char* file_name) {
    InterpreterEntry entered(vm);
    if (file_name) return run_program_file(vm, file_name);
    vm.io.put_text(CHANNEL_CONSOLE, "Velmora BASIC V" VELMORA_VERSION "\n");
    // Outside the line editor keys are not echoed; typed ahead, they wait for it.
    enter_key_mode();
    for (;;) {
        run_program(vm);
        if (vm.pretyped_input.empty()) {
            vm.io.end_console_row();
            vm.io.put_text(CHANNEL_CONSOLE, "OK\n");
        }
        for (;;) {
            std::string typed = std::move(vm.pretyped_input);
            vm.pretyped_input.clear();
            const LineRead read = read_console_line(vm, typed, kConsoleLineSize);
            if (read == LineRead::EndOfInput) return 0;
            if (read == LineRead::Interrupted) {
                break_flag::clear();
                vm.io.put_text(CHANNEL_CONSOLE, "^C");
                break;
            }
            if (*skip_blanks(typed.c_str()) == '\0') continue;
            if (store_typed_line(vm, typed)) continue;
            vm.set_direct_command(typed);
            vm.current_line = &vm.direct_line;
            break;
        }
    }
}

// The interactive main loop: "OK", typed lines stored into the program or run as
// commands; and the one run of a program file named on the command line.
#include "interp/main_loop.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "interp/break_flag.h"
#include "interp/run_loop.h"
#include "interp/vmbas.h"
#include "io/console_line.h"
#include "values/text_scan.h"

namespace {

constexpr size_t kConsoleLineSize = 256;

// Stores a typed numbered line; false when the line is a direct command instead.
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

}  // namespace

void main_loop(C_VMBAS& vm, const char* file_name) {
    if (file_name) {
        char command[kConsoleLineSize];
        const int n = std::snprintf(command, sizeof command, "load \"%s\" : run", file_name);
        if (n < 0 || static_cast<size_t>(n) >= sizeof command) {
            vm.io.put_text(CHANNEL_CONSOLE, "ファイル名が長すぎる\n");
            return;
        }
        vm.set_direct_command(command);
        vm.current_line = &vm.direct_line;
        run_program(vm);
        return;
    }
    vm.io.put_text(CHANNEL_CONSOLE, "Velmora BASIC V" VELMORA_VERSION "\n");
    for (;;) {
        run_program(vm);
        if (vm.pretyped_input.empty()) {
            if (vm.io.record(CHANNEL_CONSOLE).column != 0) vm.io.put_char(CHANNEL_CONSOLE, '\n');
            vm.io.put_text(CHANNEL_CONSOLE, "OK\n");
        }
        for (;;) {
            std::string typed = std::move(vm.pretyped_input);
            vm.pretyped_input.clear();
            const LineRead read = read_console_line(vm, typed, kConsoleLineSize);
            if (read == LineRead::EndOfInput) return;
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

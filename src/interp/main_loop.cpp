// The interactive main loop: "OK", typed lines stored into the program or run as
// commands; and the one run of a program file named on the command line.
#include "interp/main_loop.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>
#include <string_view>

#include "graphics/inline_windows.h"
#include "interp/console_line.h"
#include "interp/interpreter_entry.h"
#include "interp/run_loop.h"
#include "interp/vmbas.h"
#include "io/break_flag.h"
#include "io/console_input.h"
#include "values/messages.h"
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

// The file name as a string expression. A quotation mark in the name is joined in as
// chr$(34), so that no name can end the literal early and run text of its own.
std::string quoted_file_name(std::string_view name) {
    std::string quoted = "\"";
    for (const char c : name) quoted += c == '"' ? std::string("\"+chr$(34)+\"") : std::string(1, c);
    return quoted + "\"";
}

}  // namespace

void main_loop(C_VMBAS& vm, const char* file_name) {
    InterpreterEntry entered(vm);
    if (file_name) {
        const std::string command = "load " + quoted_file_name(file_name) + " : run";
        if (command.size() >= kConsoleLineSize) {
            vm.io.put_text(CHANNEL_CONSOLE, messages::localized("ファイル名が長すぎる\n"));
            return;
        }
        vm.set_direct_command(command);
        vm.current_line = &vm.direct_line;
        run_program(vm);
        windows_at_program_end(vm);
        return;
    }
    vm.io.put_text(CHANNEL_CONSOLE, "Velmora BASIC V" VELMORA_VERSION "\n");
    // Outside the line editor keys are not echoed; typed ahead, they wait for it.
    enter_key_mode();
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

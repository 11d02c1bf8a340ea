// Running lines one after another, entering the error handler, and the error report
// with the failing line echoed and a caret under the stopping position.
#include "interp/run_loop.h"

#include <cstdio>
#include <cstring>

#include "interp/dispatch.h"
#include "interp/interpreter_entry.h"
#include "interp/vmbas.h"
#include "io/break_flag.h"
#include "io/code_page.h"
#include "io/console_input.h"
#include "io/console_state.h"
#include "io/console_writer.h"
#include "values/error.h"
#include "values/messages.h"

namespace {

// A host that shows reports apart from the output is told where the report begins and ends.
class ReportBounds {
public:
    ReportBounds() : host_(console().host) {
        if (!host_) return;
        console_writer::flush();
        host_->begin_report();
    }
    ~ReportBounds() {
        if (!host_) return;
        console_writer::flush();
        host_->end_report();
    }
    ReportBounds(const ReportBounds&) = delete;
    ReportBounds& operator=(const ReportBounds&) = delete;

private:
    ConsoleHost* host_;
};

void print_report(C_VMBAS& vm, const TextPosition& stop) {
    const ReportBounds bounds;
    const bool interrupted = std::strcmp(vm_error::message(), "^C") == 0;
    if (!interrupted && stop.line != &vm.direct_line) {
        const std::string prefix = line_number_prefix(stop.line->number);
        vm.io.end_console_row();
        const char* text = stop.line->body();
        vm.io.chan_printf(CHANNEL_CONSOLE, "%s%s\n", prefix.c_str(), text);
        // The caret stands under the stopping character as the terminal shows the line.
        if (stop.offset >= 0 && static_cast<size_t>(stop.offset) <= std::strlen(text)) {
            const int column = console_column_after(std::string_view(text, static_cast<size_t>(stop.offset)), static_cast<int>(prefix.size()));
            vm.io.chan_printf(CHANNEL_CONSOLE, "%*s^ ", column, "");
        }
    }
    print_failure_message(vm);
}

// The handler line, when one is set and exists.
ProgramLine* error_handler(C_VMBAS& vm) {
    return vm.error_handler_line > 0 ? vm.program.find(vm.error_handler_line) : nullptr;
}

}  // namespace

void print_failure_message(C_VMBAS& vm) {
    vm.io.put_text(CHANNEL_CONSOLE,
                   vm_error::has_message() ? std::string_view(vm_error::message()) : messages::localized("エラー"));
    vm_error::clear();
}

int run_program(C_VMBAS& vm) {
    if (!vm.current_line) return 0;
    InterpreterEntry entered(vm);
    break_flag::clear();
    enter_key_mode();  // keys typed while the program runs wait, unechoed, for the next read
    ProgramLine* line = vm.current_line;
    for (;;) {
        const char* p = vm.jump_to_line(line);
        if (exec_statements(vm, p) == 0) {
            if (!vm.current_line) return 0;
            line = vm.current_line->next;
            if (!line) {
                vm.current_line = nullptr;
                return 0;
            }
            continue;
        }
        // A statement that ended execution before failing has no line to echo.
        ProgramLine& failed = vm.current_line ? *vm.current_line : vm.direct_line;
        vm.err = 1;
        vm.erl = failed.number;
        vm.cont = {};
        ProgramLine* handler = &failed == &vm.direct_line ? nullptr : error_handler(vm);
        if (handler) {
            vm.io.end_console_row();
            vm.io.put_text(CHANNEL_CONSOLE, vm_error::message());
            vm.io.chan_printf(CHANNEL_CONSOLE, " on %ld\n", static_cast<long>(failed.number));
            vm.gosub_depth = vm.for_depth = vm.while_depth = 0;
            line = handler;
            continue;
        }
        print_report(vm, &failed == &vm.direct_line ? TextPosition{&failed, 0} : TextPosition::at(&failed, p));
        vm.current_line = nullptr;
        return -1;
    }
}

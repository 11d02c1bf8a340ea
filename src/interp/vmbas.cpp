// The interpreter object's resets and line changes.
#include "interp/vmbas.h"

#include "interp/interpreter_entry.h"
#include "graphics/graphics_functions.h"
#include "interp/channel_functions.h"
#include "values/error.h"

C_VMBAS::C_VMBAS() {
    direct_line.text.reserve(256);
    register_channel_functions(*this);
    register_graphics_functions(*this);
}

C_VMBAS::~C_VMBAS() {
    // Closing a channel or the printer's page may report to the console: this one's.
    InterpreterEntry entered(*this);
    end_execution();
    io.close_all();
    io.eject_page();
}

void C_VMBAS::end_execution() {
    if (is_running()) current_line = nullptr;
    cont = {};
    gosub_depth = for_depth = while_depth = 0;
    error_handler_line = 0;
    err = erl = 0;
}

void C_VMBAS::clear_state() {
    variables.clear();
    functions.clear();
    graph_settings = {};
    option_base = 0;
    cont = {};
    io.close_all();
    data = {program.first(), 0};
}

int C_VMBAS::store_line(int32_t number, const char* text) {
    if (number < 1) return -1;
    program.store(number, text);
    end_execution();
    clear_state();
    return 0;
}

void C_VMBAS::new_program() {
    end_execution();
    clear_state();
    program.clear();
    data = {};
    set_trace(false);
}

void C_VMBAS::delete_lines(int32_t from, int32_t to) {
    if (from < 1 || to < 1) return;
    end_execution();
    clear_state();
    program.erase_range(std::min(from, to), std::max(from, to));
    data = {program.first(), 0};
}

void C_VMBAS::set_direct_command(std::string_view text) {
    // Return points inside an earlier command would stand in text that is gone:
    // going back there finds the end of that command instead.
    auto forget = [this](TextPosition& position) {
        if (position.line == &direct_line) position.offset = TextPosition::kEnd;
    };
    for (int i = 0; i < gosub_depth; ++i) forget(gosub_stack[static_cast<size_t>(i)].resume);
    for (int i = 0; i < for_depth; ++i) forget(for_stack[static_cast<size_t>(i)].after);
    for (int i = 0; i < while_depth; ++i) forget(while_stack[static_cast<size_t>(i)].keyword);
    direct_line.set_text(text);
}

void C_VMBAS::print_trace_mark(const ProgramLine& line) {
    io.chan_printf(CHANNEL_CONSOLE, "[%ld]", static_cast<long>(line.number));
}

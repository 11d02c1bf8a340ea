// Channel functions as a library of the evaluator: each is handed the context back,
// which is the interpreter that registered it.
#include "interp/channel_functions.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "graphics/graphics_state.h"
#include "interp/memory_access.h"
#include "interp/vmbas.h"
#include "io/console_input.h"
#include "values/error.h"
#include "values/fetch_args.h"
#include "values/text_scan.h"

namespace {

Complex real(double x) { return {x, 0.0}; }

int fn_eof(EvalContext& context, const BuiltinArgs& a, Complex& out) {
    C_VMBAS& vm = interpreter_of(context);
    const int n = a.l[0];
    double result = -1;
    if (is_openable_channel(n)) {
        IO_DATA& r = vm.io.record(n);
        if (r.mode == MODE_SERIAL) {
            result = 0;
        } else if (r.file) {
            const int c = std::fgetc(r.file.get());
            if (c != EOF) {
                std::ungetc(c, r.file.get());
                result = 0;
            }
        }
    }
    out = real(result);
    return 0;
}

int fn_loc(EvalContext& context, const BuiltinArgs& a, Complex& out) {
    C_VMBAS& vm = interpreter_of(context);
    const int n = a.l[0];
    double result = 0;
    if (is_openable_channel(n) && vm.io.record(n).mode == MODE_RANDOM && vm.io.record(n).file)
        result = vm.io.record(n).record_counter;
    out = real(result);
    return 0;
}

int fn_lpos(EvalContext& context, const BuiltinArgs&, Complex& out) {
    out = real(interpreter_of(context).io.record(CHANNEL_PRINTER).column + 1);
    return 0;
}

int fn_pos(EvalContext& context, const BuiltinArgs&, Complex& out) {
    out = real(interpreter_of(context).io.record(CHANNEL_CONSOLE).column + 1);
    return 0;
}

int fn_peek(EvalContext& context, const BuiltinArgs& a, Complex& out) {
    const int byte = peek_byte(interpreter_of(context), a.L[0]);
    if (byte < 0) return vm_error::fail("引数レンジ超過");
    out = real(byte);
    return 0;
}

int fn_varptr_channel(EvalContext& context, const BuiltinArgs& a, Complex& out) {
    C_VMBAS& vm = interpreter_of(context);
    const int n = a.l[0];
    const auto address = is_openable_channel(n) ? reinterpret_cast<uintptr_t>(vm.io.record(n).record_buffer) : 0;
    out = real(static_cast<double>(address));
    return 0;
}

// After the core table, where varptr of a variable comes first: this is varptr(#n).
constexpr BuiltinFunction kChannelFunctions[] = {
    {"eof", "l", fn_eof},   {"lpos", "l", fn_lpos}, {"loc", "l", fn_loc},
    {"peek", "L", fn_peek}, {"pos", "l", fn_pos},   {"varptr", "p", fn_varptr_channel},
};

// Reads up to n bytes from the console or a channel, stopping when it has no more.
void read_channel_bytes(C_VMBAS& vm, int channel, int32_t n, C_STR& out) {
    std::string bytes;
    for (int32_t i = 0; i < std::clamp(n, 0, 255); ++i) {
        const int c = vm.io.get_char(channel);
        if (c < 0) break;
        bytes.push_back(static_cast<char>(c));
    }
    out.assign(bytes);
}

BuiltinResult read_key_functions(EvalContext& context, const char*& p, C_STR& out) {
    C_VMBAS& vm = interpreter_of(context);
    const char* q = skip_blanks(p);
    if (starts_with_nocase(q, "inkey$")) {
        out.clear();
        if (console_key_waiting()) {
            const int key = read_console_key();
            if (key >= 0) {
                const char byte = static_cast<char>(key);
                out.assign(std::string_view(&byte, 1));
            }
        }
        p = q + 6;
        return BuiltinResult::Done;
    }
    if (!names_call(q, "input$")) return BuiltinResult::NotBuiltin;
    int32_t n, channel;
    size_t count;
    const char* r = q;
    if (fetch_args_counted(vm, r, "input$", "l|p", {&n, &channel}, count) < 0) return BuiltinResult::Failed;
    if (count == 1) {
        gw_refresh(vm, REFRESH_ALL);
        read_channel_bytes(vm, CHANNEL_CONSOLE, n, out);
    } else {
        const bool open = is_openable_channel(channel) && vm.io.record(channel).is_open();
        read_channel_bytes(vm, open ? channel : CHANNEL_INVALID, n, out);
    }
    p = r;
    return BuiltinResult::Done;
}

}  // namespace

void register_channel_functions(C_VMBAS& vm) {
    vm.libraries.add(kChannelFunctions);
    vm.libraries.add(read_key_functions);
}

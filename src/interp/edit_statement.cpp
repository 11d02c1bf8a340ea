// edit: offers a program line, or a variable's value, as already typed text for the
// line editor.
#include <string>

#include "interp/program_store.h"
#include "interp/statements.h"
#include "interp/vmbas.h"
#include "prompt/console_line.h"
#include "values/error.h"
#include "values/number_format.h"
#include "values/number_parse.h"
#include "values/text_scan.h"
#include "values/variable_access.h"

namespace {

constexpr size_t kOfferedSize = 255;

int edit_line(C_VMBAS& vm, const char*& p, int32_t number) {
    if (vm.is_running()) return vm_error::fail("実行中は無効");
    if (!at_statement_end(p)) return vm_error::fail("無効な構文");
    const ProgramLine* line = vm.program.find(number);
    if (!line) return vm_error::fail("該当行がない");
    std::string text = line_number_prefix(number) + line->text;
    // Only 255 bytes can be offered: a longer line would come back cut short.
    if (text.size() > kOfferedSize) return vm_error::fail("行が長すぎる");
    vm.pretyped_input = std::move(text);
    return 0;
}

int read_edited(C_VMBAS& vm, std::string& text) {
    return read_console_line(vm, text, 256, LineUse::Answer) == LineRead::Ok ? 0 : vm_error::fail("^C");
}

int edit_variable(C_VMBAS& vm, const char*& p) {
    const char* q = skip_blanks(p);
    if (*q == '"') {
        const char* start = ++q;
        while (*q != '"' && *q != '\0') ++q;
        if (*q != '"') return vm_error::fail("行番号/ラベル/変数名が必要");
        if (q - start > 254) return vm_error::fail("文字列長超過");
        const std::string_view prompt(start, static_cast<size_t>(q - start));
        q = skip_blanks(q + 1);
        if (*q != ';') return vm_error::fail("; が必要");
        ++q;
        vm.io.put_bytes(CHANNEL_CONSOLE, prompt);
    }
    VarRef ref;
    if (get_var(vm, q, VarKind::String, ref) == 0) {
        std::string text(ref.string->view());
        if (read_edited(vm, text) < 0) return -1;
        ref.string->assign(text);
    } else if (!vm_error::has_message() && get_var(vm, q, VarKind::Numeric, ref) == 0) {
        std::string text = format_default(ref.number->re, ref.number->im);
        if (read_edited(vm, text) < 0) return -1;
        const char* t = text.c_str();
        Complex value;
        if (parse_complex_text(t, value) < 0 || *skip_blanks(t) != '\0') return vm_error::fail("値が無効");
        store_number(ref, value);
    } else {
        return vm_error::fail("行番号/ラベル/変数名が必要");
    }
    p = q;
    return 0;
}

}  // namespace

int stmt_edit(C_VMBAS& vm, const char*& p) {
    const char* q = p;
    if (const int32_t number = parse_jump_target(vm.program, q); number > 0) {
        p = q;
        return edit_line(vm, p, number);
    }
    return edit_variable(vm, p);
}

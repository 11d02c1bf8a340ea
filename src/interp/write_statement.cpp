// write: items separated by commas, strings in double quotes, a newline at the end.
#include "interp/channel_prefix.h"
#include "interp/statements.h"
#include "interp/vmbas.h"
#include "values/error.h"
#include "values/evaluator.h"
#include "values/number_format.h"
#include "values/text_scan.h"

int stmt_write(C_VMBAS& vm, const char*& p) {
    const int channel = parse_channel_prefix(vm, p);
    for (;;) {
        C_STR text;
        Complex value;
        bool is_string;
        if (eval_string_or_number(vm, p, text, value, is_string) < 0) return vm_error::fail("write データがない");
        if (is_string) {
            vm.io.put_char(channel, '"');
            vm.io.put_bytes(channel, text.view());
            vm.io.put_char(channel, '"');
        } else {
            vm.io.chan_printf(channel, "%s", format_default(value.re, value.im).c_str());
        }
        p = skip_blanks(p);
        if (*p != ',' && *p != ';') {
            vm.io.put_char(channel, '\n');
            return 0;
        }
        vm.io.put_char(channel, ',');
        ++p;
    }
}

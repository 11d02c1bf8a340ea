// Translating a print-using template into a printf conversion.
#include "io/print_using.h"

#include <algorithm>
#include <string>

#include "values/error.h"
#include "values/evaluator.h"
#include "values/text_scan.h"

namespace {

constexpr std::string_view kUsage = messages::translatable("使用法:using \"+####,.#^^^^^\"; 等");
constexpr int kMaxWidth = 310;

struct Template {
    bool forced_sign = false;
    bool grouping = false;
    bool exponent = false;
    int width = 0;
    int decimals = -1;  // unset
};

int scan_template(std::string_view text, Template& t) {
    size_t i = 0;
    auto at = [&](char c) { return i < text.size() && text[i] == c; };
    if (at('+')) {
        t.forced_sign = true;
        ++t.width;
        ++i;
    }
    while (at('#') || at(',')) {
        if (text[i] == ',') t.grouping = true;
        ++t.width;
        ++i;
    }
    // A point without digits after it is stepped over: it asks for nothing.
    if (at('.')) {
        ++i;
        if (at('#')) {
            ++t.width;
            t.decimals = 0;
            while (at('#')) {
                ++t.decimals;
                ++t.width;
                ++i;
            }
        }
    }
    while (at('^')) {
        t.exponent = true;
        ++t.width;
        ++i;
    }
    if (at('+') || at('-')) return vm_error::fail("複素数の為,末尾符号は無効");
    if (i < text.size()) return vm_error::fail(kUsage);
    return 0;
}

}  // namespace

int parse_using_clause(EvalContext& vm, const char*& p, NumberFormat& format) {
    C_STR text;
    if (eval_string(vm, p, text) < 0) return vm_error::fail(kUsage);
    Template t;
    if (scan_template(text.view(), t) < 0) return -1;
    p = skip_blanks(p);
    if (*p != ';' || t.width >= kMaxWidth) return vm_error::fail(kUsage);
    std::string spec = t.forced_sign ? "%+" : "%";
    spec += std::to_string(t.width);
    spec += '.';
    spec += std::to_string(t.exponent ? std::max(t.width - 8, 0) : std::max(t.decimals, 0));
    spec += t.exponent ? 'E' : 'f';
    // A width below 310 keeps the conversion within the record's 15 characters.
    spec.copy(format.spec, sizeof format.spec - 1);
    format.spec[std::min(spec.size(), sizeof format.spec - 1)] = '\0';
    format.group_thousands = t.grouping;
    ++p;
    return 0;
}

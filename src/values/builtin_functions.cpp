// Numeric built-ins, grouped by first letter and tried in a fixed order within each
// group; the first whose name and "(" match is the function. The core table comes
// first, then the libraries registered in the context.
#include "values/builtin_functions.h"

#include <sys/sysinfo.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <span>
#include <string_view>

#include "values/complex_math.h"
#include "values/error.h"
#include "values/eval_context.h"
#include "values/fetch_args.h"
#include "values/language_rules.h"
#include "values/number_parse.h"
#include "values/random.h"
#include "values/text_scan.h"
#include "values/text_search.h"

namespace {

Complex real(double x) { return {x, 0.0}; }

template <Complex (*F)(Complex)>
int complex_function(EvalContext&, const BuiltinArgs& a, Complex& out) {
    out = F(a.c[0]);
    return 0;
}

double round_half_away(double x) { return x >= 0 ? std::floor(x + 0.5) : std::ceil(x - 0.5); }
double truncate(double x) { return x >= 0 ? std::floor(x) : std::ceil(x); }

template <typename T>
T read_little_endian(const C_STR& s) {
    T value{};
    if (s.length() >= sizeof value) std::memcpy(&value, s.view().data(), sizeof value);
    return value;
}

int fn_val(EvalContext&, const BuiltinArgs& a, Complex& out) {
    std::string text(a.s[0].view());
    const char* p = text.c_str();
    Complex value;
    if (parse_complex_text(p, value) < 0 || *skip_blanks(p) != '\0') return vm_error::fail("無効な定数");
    out = value;
    return 0;
}

int fn_instr(EvalContext&, const BuiltinArgs& a, Complex& out) {
    out = real(static_cast<double>(instr_position(a.s[0].view(), a.s[1].view())));
    return 0;
}

double available_memory() {
    if (std::FILE* meminfo = std::fopen("/proc/meminfo", "r")) {
        char line[128];
        unsigned long long kib = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, meminfo))
            found = std::sscanf(line, "MemAvailable: %llu kB", &kib) == 1;
        std::fclose(meminfo);
        if (found) return static_cast<double>(kib) * 1024.0;
    }
    struct sysinfo info {};
    if (sysinfo(&info) == 0) return static_cast<double>(info.freeram) * info.mem_unit;
    return 0.0;
}

int fn_varptr_variable(EvalContext&, const BuiltinArgs& a, Complex& out) {
    out = real(static_cast<double>(a.L[0]));
    return 0;
}

// The tables, in the order in which the candidates of each first letter are tried.
const BuiltinFunction kBuiltins[] = {
    {"abs", "c", [](EvalContext&, const BuiltinArgs& a, Complex& o) { o = real(std::hypot(a.c[0].re, a.c[0].im)); return 0; }},
    {"arg", "c", [](EvalContext&, const BuiltinArgs& a, Complex& o) { o = real(std::atan2(a.c[0].im, a.c[0].re)); return 0; }},
    {"asin", "c", complex_function<cmath::asin>},
    {"acos", "c", complex_function<cmath::acos>},
    {"atan", "c", complex_function<cmath::atan>},
    {"atn", "c", complex_function<cmath::atan>},
    {"asc", "s", [](EvalContext&, const BuiltinArgs& a, Complex& o) {
         o = real(rules::first_byte(a.s[0].view()));
         return 0;
     }},
    {"conj", "c", [](EvalContext&, const BuiltinArgs& a, Complex& o) { o = {a.c[0].re, -a.c[0].im}; return 0; }},
    {"cos", "c", complex_function<cmath::cos>},
    {"cosh", "c", complex_function<cmath::cosh>},
    {"cint", "c", [](EvalContext&, const BuiltinArgs& a, Complex& o) {
         o = {round_half_away(a.c[0].re), round_half_away(a.c[0].im)};
         return 0;
     }},
    {"csng", "d", [](EvalContext&, const BuiltinArgs& a, Complex& o) { o = real(a.d[0]); return 0; }},
    {"cdbl", "d", [](EvalContext&, const BuiltinArgs& a, Complex& o) { o = real(a.d[0]); return 0; }},
    {"cvi", "s", [](EvalContext&, const BuiltinArgs& a, Complex& o) { o = real(read_little_endian<int16_t>(a.s[0])); return 0; }},
    {"cvs", "s", [](EvalContext&, const BuiltinArgs& a, Complex& o) { o = real(read_little_endian<float>(a.s[0])); return 0; }},
    {"cvd", "s", [](EvalContext&, const BuiltinArgs& a, Complex& o) { o = real(read_little_endian<double>(a.s[0])); return 0; }},
    {"norm", "c", complex_function<rules::norm_of>},
    {"sqrt", "c", complex_function<cmath::sqrt>},
    {"sin", "c", complex_function<cmath::sin>},
    {"sgn", "c", [](EvalContext&, const BuiltinArgs& a, Complex& o) {
         const double magnitude = std::hypot(a.c[0].re, a.c[0].im);
         o = magnitude == 0 ? Complex{} : Complex{a.c[0].re / magnitude, a.c[0].im / magnitude};
         return 0;
     }},
    {"sinh", "c", complex_function<cmath::sinh>},
    {"sqr", "c", complex_function<cmath::sqrt>},
    {"tan", "c", complex_function<cmath::tan>},
    {"tanh", "c", complex_function<cmath::tanh>},
    {"exp", "c", complex_function<cmath::exp>},
    {"e", "", [](EvalContext&, const BuiltinArgs&, Complex& o) { o = real(2.718281828459045); return 0; }},
    {"log", "c", complex_function<cmath::log>},
    {"log10", "c", complex_function<cmath::log10>},
    {"len", "s", [](EvalContext&, const BuiltinArgs& a, Complex& o) { o = real(static_cast<double>(a.s[0].length())); return 0; }},
    {"pow", "cc", [](EvalContext&, const BuiltinArgs& a, Complex& o) { o = cmath::pow(a.c[0], a.c[1]); return 0; }},
    {"pi", "", [](EvalContext&, const BuiltinArgs&, Complex& o) { o = real(3.141592653589793); return 0; }},
    {"real", "c", [](EvalContext&, const BuiltinArgs& a, Complex& o) { o = real(a.c[0].re); return 0; }},
    {"rnd", "l", [](EvalContext& vm, const BuiltinArgs&, Complex& o) { o = real(vm.random.next() / 32767.0); return 0; }},
    {"rand", "", [](EvalContext& vm, const BuiltinArgs&, Complex& o) { o = real(vm.random.next()); return 0; }},
    {"imag", "c", [](EvalContext&, const BuiltinArgs& a, Complex& o) { o = real(a.c[0].im); return 0; }},
    {"int", "c", complex_function<rules::whole_part>},
    {"instr", "ss", fn_instr},
    {"fix", "c", [](EvalContext&, const BuiltinArgs& a, Complex& o) { o = {truncate(a.c[0].re), truncate(a.c[0].im)}; return 0; }},
    {"fre", "", [](EvalContext&, const BuiltinArgs&, Complex& o) { o = real(available_memory()); return 0; }},
    {"min", "dd", [](EvalContext&, const BuiltinArgs& a, Complex& o) {
         o = real(std::isnan(a.d[0]) || std::isnan(a.d[1]) ? a.d[1] : std::min(a.d[0], a.d[1]));
         return 0;
     }},
    {"max", "dd", [](EvalContext&, const BuiltinArgs& a, Complex& o) {
         o = real(std::isnan(a.d[0]) || std::isnan(a.d[1]) ? a.d[1] : std::max(a.d[0], a.d[1]));
         return 0;
     }},
    {"val", "s", fn_val},
    {"varptr", "A", fn_varptr_variable},
};

ArgSlot slot_for(BuiltinArgs& args, char format, size_t i) {
    switch (format) {
        case 'c': return &args.c[i];
        case 'd': return &args.d[i];
        case 'l':
        case 'p': return &args.l[i];
        case 'L':
        case 'A': return &args.L[i];
        case 's': return &args.s[i];
        default: return std::monostate{};
    }
}

// A variable argument ("A") is taken only when a name stands there; otherwise the
// next candidate of the same name is tried.
bool argument_fits(const char* p, const BuiltinFunction& builtin) {
    if (builtin.format != "A") return true;
    match_keyword(p, builtin.name);
    p = skip_blanks(p) + 1;
    p = skip_blanks(p);
    return is_letter(*p) || *p == '_';
}

int call_builtin(EvalContext& vm, const BuiltinFunction& builtin, const char*& p, Complex& out) {
    BuiltinArgs args;
    const std::string_view f = builtin.format;
    int fetched;
    switch (f.size()) {
        case 0: fetched = fetch_args(vm, p, builtin.name, f, {}); break;
        case 1: fetched = fetch_args(vm, p, builtin.name, f, {slot_for(args, f[0], 0)}); break;
        case 2: fetched = fetch_args(vm, p, builtin.name, f, {slot_for(args, f[0], 0), slot_for(args, f[1], 1)}); break;
        default:
            fetched = fetch_args(vm, p, builtin.name, f,
                                 {slot_for(args, f[0], 0), slot_for(args, f[1], 1), slot_for(args, f[2], 2)});
    }
    if (fetched < 0) return -1;
    return builtin.compute(vm, args, out);
}

const BuiltinFunction* first_called_in(std::span<const BuiltinFunction> table, const char* q) {
    const char first = to_lower(*q);
    for (const BuiltinFunction& builtin : table)
        if (builtin.name[0] == first && names_call(q, builtin.name) && argument_fits(q, builtin)) return &builtin;
    return nullptr;
}

}  // namespace

const BuiltinFunction* builtin_called_at(const EvalContext& vm, const char* p) {
    const char* q = skip_blanks(p);
    if (const BuiltinFunction* builtin = first_called_in(kBuiltins, q)) return builtin;
    if (!vm.libraries.may_begin(to_lower(*q))) return nullptr;
    for (std::span<const BuiltinFunction> library : vm.libraries.numeric())
        if (const BuiltinFunction* builtin = first_called_in(library, q)) return builtin;
    return nullptr;
}

BuiltinResult eval_builtin(EvalContext& vm, const char*& p, Complex& out) {
    const BuiltinFunction* builtin = builtin_called_at(vm, p);
    if (!builtin) return BuiltinResult::NotBuiltin;
    const char* r = skip_blanks(p);
    if (call_builtin(vm, *builtin, r, out) < 0) return BuiltinResult::Failed;
    p = r;
    return BuiltinResult::Done;
}

std::vector<std::string_view> builtin_function_names(const EvalContext& vm) {
    std::vector<std::string_view> names;
    auto add_names = [&names](std::span<const BuiltinFunction> table) {
        for (const BuiltinFunction& builtin : table)
            if (std::ranges::find(names, builtin.name) == names.end()) names.push_back(builtin.name);
    };
    add_names(kBuiltins);
    for (std::span<const BuiltinFunction> library : vm.libraries.numeric()) add_names(library);
    return names;
}

// Precedence levels, loosest first: logical, comparison, additive, multiplicative,
// power, primary. Every level advances the text position only on success.
#include "values/evaluator.h"

#include "values/builtin_functions.h"
#include "values/complex_math.h"
#include "values/error.h"
#include "values/eval_context.h"
#include "values/language_rules.h"
#include "values/names.h"
#include "values/number_parse.h"
#include "values/string_functions.h"
#include "values/string_literal.h"
#include "values/text_scan.h"
#include "values/user_functions.h"
#include "values/variable_access.h"

namespace {

constexpr int kMaxNesting = 256;

// Bounds the nesting of evaluations so that no expression can exhaust the stack.
class NestingGuard {
public:
    explicit NestingGuard(EvalContext& vm) : vm_(vm) { ++vm_.eval_depth; }
    ~NestingGuard() { --vm_.eval_depth; }
    NestingGuard(const NestingGuard&) = delete;
    NestingGuard& operator=(const NestingGuard&) = delete;
    bool too_deep() const { return vm_.eval_depth > kMaxNesting; }

private:
    EvalContext& vm_;
};

// A string read at the start of an item before its kind was known. The comparison
// level then starts from it instead of reading the same text again, which would
// repeat every effect in it (input$ would take further keys).
struct LeadingString {
    bool ok = false;
    C_STR value;
    const char* end = nullptr;
};

int eval_compare(EvalContext& vm, const char*& p, Complex& out, const LeadingString* lead = nullptr);
int eval_power(EvalContext& vm, const char*& p, Complex& out);

template <typename Meaning>
struct Operator {
    std::string_view text;
    Meaning meaning;
};

using rules::Comparison;
using rules::Logical;
using rules::Ordering;

// In the order they are tried: a longer operator before its prefix.
constexpr Operator<Comparison> kStringComparisons[] = {
    {"==", Comparison::Equal},    {"!=", Comparison::NotEqual},     {"=", Comparison::Equal},
    {"<>", Comparison::NotEqual}, {">=", Comparison::GreaterEqual}, {">", Comparison::Greater},
    {"<=", Comparison::LessEqual}, {"<", Comparison::Less}};
constexpr Operator<Comparison> kEqualities[] = {
    {"==", Comparison::Equal}, {"!=", Comparison::NotEqual}, {"=", Comparison::Equal}, {"<>", Comparison::NotEqual}};
constexpr Operator<Ordering> kOrderings[] = {
    {">=", Ordering::GreaterEqual}, {">", Ordering::Greater}, {"<=", Ordering::LessEqual}, {"<", Ordering::Less}};
constexpr Operator<Logical> kLogicals[] = {
    {"and", Logical::And}, {"or", Logical::Or}, {"xor", Logical::Xor}, {"imp", Logical::Imp}, {"eqv", Logical::Eqv}};

// The first of `operators` that matches as a keyword at `p`, which it passes; null if none.
template <typename Meaning, size_t N>
const Operator<Meaning>* match_operator(const char*& p, const Operator<Meaning> (&operators)[N]) {
    for (const Operator<Meaning>& op : operators)
        if (match_keyword(p, op.text) == 0) return &op;
    return nullptr;
}

// The operator and right operand of a string comparison whose left string is read.
int compare_with(EvalContext& vm, const C_STR& left, const char*& p, Complex& out) {
    const char* q = skip_blanks(p);
    const Operator<Comparison>* op = nullptr;
    for (const Operator<Comparison>& candidate : kStringComparisons) {
        if (starts_with_nocase(q, candidate.text)) {
            op = &candidate;
            break;
        }
    }
    if (!op) return -1;
    q += op->text.size();
    C_STR right;
    if (eval_string(vm, q, right) < 0) return -1;
    out = rules::truth(rules::string_comparison_holds(op->meaning, rules::compare_strings(left.view(), right.view())));
    p = q;
    return 0;
}

int eval_string_compare(EvalContext& vm, const char*& p, Complex& out, const LeadingString* lead) {
    const char* q = p;
    if (lead) {
        if (!lead->ok) return -1;
        q = lead->end;
        if (compare_with(vm, lead->value, q, out) < 0) return -1;
    } else {
        C_STR left;
        if (eval_string(vm, q, left) < 0 || compare_with(vm, left, q, out) < 0) return -1;
    }
    p = q;
    return 0;
}

int eval_logical(EvalContext& vm, const char*& p, Complex& out, const LeadingString* lead = nullptr) {
    const char* q = p;
    if (match_keyword(q, "not") == 0) {
        Complex operand;
        if (eval_expr(vm, q, operand) < 0 || !rules::logical_not(operand, out)) return -1;
        p = q;
        return 0;
    }
    Complex left;
    if (eval_compare(vm, q, left, lead) < 0) return -1;
    for (;;) {
        const char* r = skip_blanks(q);
        if (!is_letter(*r)) break;
        const Operator<Logical>* op = match_operator(r, kLogicals);
        if (!op) break;
        Complex right;
        if (eval_compare(vm, r, right) < 0) return -1;
        if (!rules::combine_logical(op->meaning, left, right, left)) return -1;
        q = r;
    }
    out = left;
    p = q;
    return 0;
}

int eval_add(EvalContext& vm, const char*& p, Complex& out);

int eval_compare(EvalContext& vm, const char*& p, Complex& out, const LeadingString* lead) {
    if (eval_string_compare(vm, p, out, lead) == 0) return 0;
    vm_error::clear();
    const char* q = p;
    Complex left;
    if (eval_add(vm, q, left) < 0) return -1;
    for (;;) {
        const char* r = skip_blanks(q);
        if (!is_comparison_start(*r)) break;
        // An ordering applies only to a real left value; its operator is left unread.
        const Operator<Comparison>* equality = match_operator(r, kEqualities);
        const Operator<Ordering>* ordering = !equality && rules::is_real(left) ? match_operator(r, kOrderings) : nullptr;
        if (!equality && !ordering) break;
        Complex right;
        if (eval_add(vm, r, right) < 0) return -1;
        if (equality) {
            left = rules::truth(rules::same_value(left, right) == (equality->meaning == Comparison::Equal));
        } else {
            if (!rules::is_real(right)) return -1;
            left = rules::truth(rules::ordered(ordering->meaning, left.re, right.re));
        }
        q = r;
    }
    out = left;
    p = q;
    return 0;
}

int eval_mul(EvalContext& vm, const char*& p, Complex& out);

int eval_add(EvalContext& vm, const char*& p, Complex& out) {
    const char* q = p;
    Complex value;
    if (eval_mul(vm, q, value) < 0) return -1;
    for (;;) {
        const char* r = skip_blanks(q);
        if (*r != '+' && *r != '-') break;
        const char op = *r++;
        Complex right;
        if (eval_mul(vm, r, right) < 0) return -1;
        value = (op == '+') ? value + right : value - right;
        q = r;
    }
    out = normalize_zero(value);
    p = q;
    return 0;
}

int eval_mul(EvalContext& vm, const char*& p, Complex& out) {
    const char* q = p;
    Complex value;
    if (eval_power(vm, q, value) < 0) return -1;
    for (;;) {
        const char* r = skip_blanks(q);
        if (*r != '*' && *r != '/') break;
        const char op = *r++;
        Complex right;
        if (eval_power(vm, r, right) < 0) return -1;
        value = (op == '*') ? value * right : value / right;
        q = r;
    }
    out = value;
    p = q;
    return 0;
}

int eval_primary(EvalContext& vm, const char*& p, Complex& out);

int eval_power(EvalContext& vm, const char*& p, Complex& out) {
    const char* q = p;
    Complex value;
    if (eval_primary(vm, q, value) < 0) return -1;
    for (;;) {
        const char* r = skip_blanks(q);
        if (*r != '^') break;
        ++r;
        Complex exponent;
        if (eval_primary(vm, r, exponent) < 0) return -1;
        value = cmath::pow(value, exponent);
        q = r;
    }
    out = value;
    p = q;
    return 0;
}

// A name: built-in function, user function, or variable (in that order).
int eval_named_primary(EvalContext& vm, const char*& p, std::string_view name, const char* after_name, int type,
                       Complex& out) {
    if (type == VT_STRING) return -1;
    if (*skip_blanks(after_name) == '(') {
        // A matched built-in with bad arguments fails with its own message.
        const char* q = p;
        switch (eval_builtin(vm, q, out)) {
            case BuiltinResult::Done: p = q; return 0;
            case BuiltinResult::Failed: return -1;
            case BuiltinResult::NotBuiltin: break;
        }
    }
    if (starts_with_nocase(p, "fn")) {
        const char* q = p;
        switch (call_fn(vm, q, &out, nullptr)) {
            case CallResult::Failed: return -1;
            case CallResult::Done: p = q; return 0;
            case CallResult::NotAFunction: break;
        }
    }
    const char* q = after_name;
    VarRef ref;
    if (get_scanned_var(vm, name, type, q, ref) < 0) return -1;
    out = *ref.number;
    p = q;
    return 0;
}

int eval_primary(EvalContext& vm, const char*& p, Complex& out) {
    NestingGuard guard(vm);
    if (guard.too_deep()) return vm_error::fail("式が複雑すぎる");
    const char* q = skip_blanks(p);
    const char* after_name = q;
    std::string_view name;
    int type;
    // "i", err and erl are refused as names but are operands here: their refusal
    // must not linger as the message of some later failure.
    const bool message_held = vm_error::has_message();
    if (scan_var_name(after_name, name, type)) {
        if (eval_named_primary(vm, q, name, after_name, type, out) < 0) return -1;
        p = q;
        return 0;
    }
    auto forget_refusal = [&] {
        if (!message_held) vm_error::clear();
    };
    switch (*q) {
        case '(': {
            ++q;
            Complex inner;
            if (eval_expr(vm, q, inner) < 0) return -1;
            q = skip_blanks(q);
            if (*q != ')') return -1;
            out = inner;
            p = q + 1;
            return 0;
        }
        case '+':
        case '-': {
            const char sign = *q++;
            Complex operand;
            if (eval_power(vm, q, operand) < 0) return -1;
            out = (sign == '-') ? -operand : operand;
            p = q;
            return 0;
        }
        case 'e':
        case 'E':
            if (match_keyword(q, "err") == 0) {
                forget_refusal();
                out = {static_cast<double>(vm.err), 0.0};
                p = q;
                return 0;
            }
            if (match_keyword(q, "erl") == 0) {
                forget_refusal();
                out = {static_cast<double>(vm.erl), 0.0};
                p = q;
                return 0;
            }
            break;
        case 'i':
            if (!is_name_char(q[1])) {
                forget_refusal();
                out = {0.0, 1.0};
                p = q + 1;
                return 0;
            }
            break;
        default: break;
    }
    // Names were scanned above: a word such as "inf" or "nan" is never a literal here.
    double literal;
    if (is_letter(*q) || parse_number(q, literal) < 0) return -1;
    if (*q == 'i') {
        out = {0.0, literal};
        ++q;
    } else {
        out = {literal, 0.0};
    }
    p = q;
    return 0;
}

// One string operand: literal, string fn call, string function, string variable.
int eval_string_operand(EvalContext& vm, const char*& p, C_STR& out) {
    const char* q = skip_blanks(p);
    if (!may_begin_string(q)) return -1;
    if (*q == '"') {
        // Nothing else can begin with a quote: an unterminated literal is no operand.
        if (scan_string_literal(q, out) < 0) return -1;
        p = q;
        return 0;
    }
    if (starts_with_nocase(q, "fn")) {
        const char* r = q;
        switch (call_fn(vm, r, nullptr, &out)) {
            case CallResult::Failed: return -1;
            case CallResult::Done: p = r; return 0;
            case CallResult::NotAFunction: break;
        }
    }
    {
        // As with numeric built-ins, a matched function with bad arguments is the
        // operand's failure: read as an array element, its message would be lost.
        const char* r = q;
        switch (eval_string_function(vm, r, out)) {
            case BuiltinResult::Done: p = r; return 0;
            case BuiltinResult::Failed: return -1;
            case BuiltinResult::NotBuiltin: break;
        }
    }
    const char* r = q;
    const C_STR* slot = get_string_var(vm, r);
    if (!slot) return -1;
    out = *slot;
    p = r;
    return 0;
}

}  // namespace

// Numbers are turned away here without a lookup, which matters because every
// comparison tries a string first. A numeric fn still goes on, to be refused with its
// own message.
bool may_begin_string(const char* p) {
    if (*p == '"' || starts_with_nocase(p, "fn")) return true;
    if (!is_letter(*p) && *p != '_') return false;
    while (is_name_char(*p)) ++p;
    return *p == '$';
}

int eval_expr(EvalContext& vm, const char*& p, Complex& out) {
    NestingGuard guard(vm);
    if (guard.too_deep()) return vm_error::fail("式が複雑すぎる");
    return eval_logical(vm, p, out);
}

int eval_real(EvalContext& vm, const char*& p, double* out) {
    Complex value;
    if (eval_expr(vm, p, value) < 0) return -1;
    if (out) *out = value.re;
    return 0;
}

int eval_int32(EvalContext& vm, const char*& p, int32_t* out) {
    Complex value;
    if (eval_expr(vm, p, value) < 0) return -1;
    if (out) *out = to_int32(value.re);
    return 0;
}

int eval_string(EvalContext& vm, const char*& p, C_STR& out) {
    const char* q = p;
    C_STR value;
    if (eval_string_operand(vm, q, value) < 0) return -1;
    for (;;) {
        const char* r = skip_blanks(q);
        if (*r != '+') break;
        ++r;
        C_STR right;
        if (eval_string_operand(vm, r, right) < 0) return -1;
        if (!value.append(right.view())) return vm_error::fail("文字列長超過");
        q = r;
    }
    out.swap(value);
    p = q;
    return 0;
}

int eval_string_or_number(EvalContext& vm, const char*& p, C_STR& text, Complex& number, bool& is_string) {
    is_string = false;
    const char* q = skip_blanks(p);
    const bool string_first = may_begin_string(q);
    LeadingString lead;
    if (string_first) {
        lead.end = q;
        lead.ok = eval_string(vm, lead.end, lead.value) == 0;
        const char* r = skip_blanks(lead.end);
        if (lead.ok && !is_comparison_start(*r)) {
            text.swap(lead.value);
            is_string = true;
            p = r;
            return 0;
        }
    }
    vm_error::clear();
    NestingGuard guard(vm);
    if (guard.too_deep()) return vm_error::fail("式が複雑すぎる");
    return eval_logical(vm, p, number, string_first ? &lead : nullptr);
}

int eval_string_value(EvalContext& vm, const char*& p, C_STR& out) {
    const char* q = p;
    C_STR value;
    if (eval_string(vm, q, value) < 0) return -1;
    q = skip_blanks(q);
    if (is_comparison_start(*q)) return -1;
    out.swap(value);
    p = q;
    return 0;
}

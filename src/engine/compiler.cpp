// The compiler follows the evaluator's grammar step by step over the same text, so a
// compiled statement reads exactly what the text interpreter would read. Whatever it
// does not model (functions with effects, calls inside function bodies, forms the
// evaluator would refuse) leaves the statement to the text interpreter.
#include "engine/compiler.h"

#include <string>
#include <string_view>

#include "engine/flatten.h"
#include "engine/trees.h"
#include "interp/dispatch.h"
#include "interp/line_scan.h"
#include "interp/program_store.h"
#include "interp/vmbas.h"
#include "values/builtin_functions.h"
#include "values/error.h"
#include "values/evaluator.h"
#include "values/names.h"
#include "values/number_parse.h"
#include "values/string_literal.h"
#include "values/text_scan.h"
#include "values/user_functions.h"

namespace compiled {

namespace {

constexpr int32_t kRefused = -1;
// Far below the evaluator's own nesting limit, which compiled code then never meets.
constexpr int kMaxDepth = 64;

// Built-ins without effects: a compiled statement may evaluate them and still give
// the statement back to the text interpreter, which evaluates them again.
constexpr std::string_view kPureBuiltins[] = {
    "abs",  "arg", "asin", "acos",  "atan", "atn", "conj", "cos",  "cosh", "cint", "csng", "cdbl", "cvi",
    "cvs",  "cvd", "norm", "sqrt",  "sin",  "sgn", "sinh", "sqr",  "tan",  "tanh", "exp",  "e",    "log",
    "log10", "pow", "pi",  "real",  "imag", "int", "grgb", "grgb2r", "grgb2g", "grgb2b", "fix", "min", "max",
    "val"};

bool is_pure(std::string_view name) {
    for (std::string_view pure : kPureBuiltins)
        if (pure == name) return true;
    return false;
}

class Compiler {
public:
    Compiler(C_VMBAS& vm, CompiledLine& code, Trees& trees, const char* body)
        : vm_(vm), code_(code), trees_(trees), body_(body) {}

    // Reads the statement at `p` into `statement` and the trees; false where it is left
    // to the text interpreter.
    bool statement(const char* p, Statement& statement);
    const Roots& roots() const { return roots_; }

private:
    struct Depth {
        explicit Depth(int& depth) : depth_(depth) { ++depth_; }
        ~Depth() { --depth_; }
        Depth(const Depth&) = delete;
        Depth& operator=(const Depth&) = delete;
        int& depth_;
    };

    int32_t add(Node node) {
        trees_.nodes.push_back(node);
        return static_cast<int32_t>(trees_.nodes.size() - 1);
    }
    int32_t unary(Op op, int32_t operand) {
        Node node(op);
        node.child[0] = operand;
        return add(node);
    }
    int32_t binary(Op op, int32_t left, int32_t right) {
        Node node(op);
        node.child = {left, right, -1, -1};
        return add(node);
    }
    int32_t slot(std::string_view name, int type);
    int32_t offset(const char* p) const { return static_cast<int32_t>(p - body_); }

    int32_t expression(const char*& p);
    int32_t logical(const char*& p);
    int32_t comparison(const char*& p);
    int32_t string_comparison(const char*& p);
    int32_t additive(const char*& p);
    int32_t multiplicative(const char*& p);
    int32_t power(const char*& p);
    int32_t primary(const char*& p);
    int32_t named_primary(const char*& p, std::string_view name, const char* after_name, int type);
    int32_t builtin_call(const char*& p, const BuiltinFunction& builtin);
    int32_t argument(const char*& p, char format);
    int32_t element(int32_t variable, const char*& p, Op scalar, Op array);
    bool subscripts(const char*& p, Node& node);
    int32_t subscript_form(int32_t value);

    int32_t string(const char*& p);
    int32_t string_value(const char*& p);
    int32_t string_operand(const char*& p);
    bool string_function(const char*& p, int32_t& node);
    int32_t call_with(const char*& p, std::string_view name, std::string_view format, Op op);
    int32_t user_call(const char*& p, bool wants_string);
    bool arguments(const char*& p, TreeCall& call);
    int32_t parameter(std::string_view name) const;
    bool names_numeric_function(const char* p) const;

    int32_t assignment(const char* p, Statement& statement);
    bool adds_to(int32_t slot, int32_t value) const;
    int32_t for_statement(const char* p, Statement& statement);
    int32_t next_statement(const char* p, Statement& statement);
    int32_t if_statement(const char* p, Statement& statement);
    int32_t jump_statement(const char* p, Statement& statement);
    int32_t while_statement(const char* p, Statement& statement);

    C_VMBAS& vm_;
    CompiledLine& code_;
    Trees& trees_;
    Roots roots_;
    const char* body_;
    int depth_ = 0;
    bool evaluates_ = false;
    // The function whose body is being compiled: its parameters are names of the call.
    const UserFunction* body_of_ = nullptr;
};

int32_t Compiler::slot(std::string_view name, int type) {
    // Spelled as written: a for loop keeps its variable's name as the text gives it.
    const bool in_body = body_of_ != nullptr;
    for (size_t i = 0; i < code_.slots.size(); ++i)
        if (code_.slots[i].name == name && code_.slots[i].in_body == in_body) return static_cast<int32_t>(i);
    code_.slots.push_back({std::string(name), type, in_body});
    return static_cast<int32_t>(code_.slots.size() - 1);
}

bool Compiler::names_numeric_function(const char* p) const {
    std::string_view name;
    int type;
    if (!starts_with_nocase(p, "fn") || !scan_var_name(p, name, type)) return false;
    const UserFunction* function = vm_.functions.find(name);
    return function && function->type() != VT_STRING;
}

// The parameter of the body being compiled that `name` (with its suffix) names, or -1.
int32_t Compiler::parameter(std::string_view name) const {
    if (!body_of_) return -1;
    for (int k = 0; k < body_of_->parameter_count; ++k)
        if (equals_nocase(body_of_->parameter_names[static_cast<size_t>(k)], name)) return k;
    return -1;
}

// A call as call_fn reads it. A body calls no further function here, so a compiled
// call never nests and never meets the call depth limit.
int32_t Compiler::user_call(const char*& p, bool wants_string) {
    if (body_of_) return kRefused;
    const char* q = p;
    std::string_view name;
    int type;
    if (!scan_var_name(q, name, type)) return kRefused;
    TreeCall call;
    call.function = vm_.functions.find(name);
    if (!call.function || (call.function->type() == VT_STRING) != wants_string) return kRefused;
    call.type = call.function->type();
    if (!arguments(q, call)) return kRefused;
    body_of_ = call.function;
    const char* body = call.function->body.c_str();
    call.body = wants_string ? string_value(body) : expression(body);
    body_of_ = nullptr;
    if (call.body < 0) return kRefused;
    trees_.calls.push_back(call);
    p = q;
    return add(Node(wants_string ? Op::StringCall : Op::Call, static_cast<int32_t>(trees_.calls.size() - 1)));
}

bool Compiler::arguments(const char*& p, TreeCall& call) {
    const UserFunction& function = *call.function;
    const char* q = skip_blanks(p);
    if (*q == '(' && *skip_blanks(q + 1) != ')') {
        ++q;
        for (;;) {
            const int k = call.argument_count;
            if (k == kMaxArguments || k >= function.parameter_count) return false;
            const bool is_string = function.parameter_types[static_cast<size_t>(k)] == VT_STRING;
            const int32_t value = is_string ? string_value(q) : expression(q);
            if (value < 0) return false;
            call.arguments[static_cast<size_t>(call.argument_count++)] = value;
            q = skip_blanks(q);
            if (*q == ',') {
                ++q;
                continue;
            }
            if (*q != ')') return false;
            ++q;
            break;
        }
    } else if (*q == '(') {
        q = skip_blanks(q + 1) + 1;
    }
    if (call.argument_count < function.parameter_count) return false;
    p = q;
    return true;
}

// ---- Numeric expressions, loosest level first.

int32_t Compiler::expression(const char*& p) {
    Depth depth(depth_);
    if (depth_ > kMaxDepth) return kRefused;
    evaluates_ = true;
    return logical(p);
}

int32_t Compiler::logical(const char*& p) {
    const char* q = p;
    if (match_keyword(q, "not") == 0) {
        const int32_t operand = expression(q);
        if (operand < 0) return kRefused;
        p = q;
        return unary(Op::Not, operand);
    }
    int32_t left = comparison(q);
    if (left < 0) return kRefused;
    for (;;) {
        const char* r = skip_blanks(q);
        if (!is_letter(*r)) break;
        Op op;
        if (match_keyword(r, "and") == 0) op = Op::And;
        else if (match_keyword(r, "or") == 0) op = Op::Or;
        else if (match_keyword(r, "xor") == 0) op = Op::Xor;
        else if (match_keyword(r, "imp") == 0) op = Op::Imp;
        else if (match_keyword(r, "eqv") == 0) op = Op::Eqv;
        else break;
        const int32_t right = comparison(r);
        if (right < 0) return kRefused;
        left = binary(op, left, right);
        q = r;
    }
    p = q;
    return left;
}

// Every comparison level tries a string comparison first; where a string may begin,
// nothing else can succeed, but for a call of a numeric function: the string attempt
// refuses it before reading its arguments, and the number is read instead.
int32_t Compiler::comparison(const char*& p) {
    const char* start = skip_blanks(p);
    if (may_begin_string(start) && !names_numeric_function(start)) return string_comparison(p);
    const char* q = p;
    int32_t left = additive(q);
    if (left < 0) return kRefused;
    for (;;) {
        const char* r = skip_blanks(q);
        if (!is_comparison_start(*r)) break;
        Op op;
        // Whether an ordering applies depends on the left value: the run checks it.
        if (match_keyword(r, "==") == 0 || match_keyword(r, "=") == 0) op = Op::Equal;
        else if (match_keyword(r, "!=") == 0 || match_keyword(r, "<>") == 0) op = Op::NotEqual;
        else if (match_keyword(r, ">=") == 0) op = Op::GreaterEqual;
        else if (match_keyword(r, ">") == 0) op = Op::Greater;
        else if (match_keyword(r, "<=") == 0) op = Op::LessEqual;
        else if (match_keyword(r, "<") == 0) op = Op::Less;
        else break;
        const int32_t right = additive(r);
        if (right < 0) return kRefused;
        left = binary(op, left, right);
        q = r;
    }
    p = q;
    return left;
}

int32_t Compiler::string_comparison(const char*& p) {
    const char* q = p;
    const int32_t left = string(q);
    if (left < 0) return kRefused;
    q = skip_blanks(q);
    Op op;
    size_t length = 2;
    if (starts_with_nocase(q, "==")) op = Op::StringEqual;
    else if (starts_with_nocase(q, "!=")) op = Op::StringNotEqual;
    else if (starts_with_nocase(q, "=")) op = Op::StringEqual, length = 1;
    else if (starts_with_nocase(q, "<>")) op = Op::StringNotEqual;
    else if (starts_with_nocase(q, ">=")) op = Op::StringGreaterEqual;
    else if (starts_with_nocase(q, ">")) op = Op::StringGreater, length = 1;
    else if (starts_with_nocase(q, "<=")) op = Op::StringLessEqual;
    else if (starts_with_nocase(q, "<")) op = Op::StringLess, length = 1;
    else return kRefused;
    q += length;
    const int32_t right = string(q);
    if (right < 0) return kRefused;
    p = q;
    evaluates_ = true;
    return binary(op, left, right);
}

int32_t Compiler::additive(const char*& p) {
    const char* q = p;
    int32_t value = multiplicative(q);
    if (value < 0) return kRefused;
    for (;;) {
        const char* r = skip_blanks(q);
        if (*r != '+' && *r != '-') break;
        const Op op = *r++ == '+' ? Op::Add : Op::Subtract;
        const int32_t right = multiplicative(r);
        if (right < 0) return kRefused;
        value = binary(op, value, right);
        q = r;
    }
    p = q;
    Node& result = trees_.nodes[static_cast<size_t>(value)];
    if (result.op == Op::Constant)
        result.value = normalize_zero(result.value);
    else
        result.normalize = true;
    return value;
}

int32_t Compiler::multiplicative(const char*& p) {
    const char* q = p;
    int32_t value = power(q);
    if (value < 0) return kRefused;
    for (;;) {
        const char* r = skip_blanks(q);
        if (*r != '*' && *r != '/') break;
        const Op op = *r++ == '*' ? Op::Multiply : Op::Divide;
        const int32_t right = power(r);
        if (right < 0) return kRefused;
        value = binary(op, value, right);
        q = r;
    }
    p = q;
    return value;
}

int32_t Compiler::power(const char*& p) {
    const char* q = p;
    int32_t value = primary(q);
    if (value < 0) return kRefused;
    for (;;) {
        const char* r = skip_blanks(q);
        if (*r != '^') break;
        ++r;
        const int32_t exponent = primary(r);
        if (exponent < 0) return kRefused;
        value = binary(Op::Power, value, exponent);
        q = r;
    }
    p = q;
    return value;
}

int32_t Compiler::primary(const char*& p) {
    Depth depth(depth_);
    if (depth_ > kMaxDepth) return kRefused;
    const char* q = skip_blanks(p);
    const char* after_name = q;
    std::string_view name;
    int type;
    if (scan_var_name(after_name, name, type)) {
        const int32_t node = named_primary(q, name, after_name, type);
        if (node >= 0) p = q;
        return node;
    }
    switch (*q) {
        case '(': {
            ++q;
            const int32_t inner = expression(q);
            if (inner < 0) return kRefused;
            q = skip_blanks(q);
            if (*q != ')') return kRefused;
            p = q + 1;
            return inner;
        }
        case '+':
        case '-': {
            const char sign = *q++;
            const int32_t operand = power(q);
            if (operand < 0) return kRefused;
            p = q;
            return sign == '-' ? unary(Op::Negate, operand) : operand;
        }
        case 'e':
        case 'E':
            if (match_keyword(q, "err") == 0) {
                p = q;
                return add(Node(Op::Err));
            }
            if (match_keyword(q, "erl") == 0) {
                p = q;
                return add(Node(Op::Erl));
            }
            break;
        case 'i':
            if (!is_name_char(q[1])) {
                p = q + 1;
                return add(Node(Op::Constant, Complex{0.0, 1.0}));
            }
            break;
        default: break;
    }
    double literal;
    if (is_letter(*q) || parse_number(q, literal) < 0) return kRefused;
    Complex value{literal, 0.0};
    if (*q == 'i') {
        value = {0.0, literal};
        ++q;
    }
    p = q;
    return add(Node(Op::Constant, value));
}

int32_t Compiler::named_primary(const char*& p, std::string_view name, const char* after_name, int type) {
    if (type == VT_STRING) return kRefused;
    if (*skip_blanks(after_name) == '(') {
        if (const BuiltinFunction* builtin = builtin_called_at(vm_, p)) return builtin_call(p, *builtin);
    }
    if (starts_with_nocase(p, "fn")) return user_call(p, false);
    if (const int32_t k = parameter(name); k >= 0) {
        const char c = *skip_blanks(after_name);
        if (c == '(' || c == '[') return kRefused;
        p = after_name;
        return add(Node(Op::Parameter, k));
    }
    p = after_name;
    return element(slot(name, type), p, Op::Variable, Op::Element);
}

int32_t Compiler::builtin_call(const char*& p, const BuiltinFunction& builtin) {
    if (!is_pure(builtin.name)) {
        if (builtin.name == "len") return call_with(p, "len", "s", Op::Len);
        if (builtin.name == "instr") return call_with(p, "instr", "ss", Op::Instr);
        if (builtin.name == "asc") return call_with(p, "asc", "s", Op::Asc);
        return kRefused;
    }
    if (builtin.name == "int") return call_with(p, "int", "c", Op::Int);
    if (builtin.name == "norm") return call_with(p, "norm", "c", Op::Norm);
    const int32_t node = call_with(p, builtin.name, builtin.format, Op::Builtin);
    if (node < 0) return kRefused;
    code_.builtins.push_back(&builtin);
    trees_.nodes[static_cast<size_t>(node)].index = static_cast<int32_t>(code_.builtins.size() - 1);
    return node;
}

// A call read as fetch_args reads it: the name, "(", the arguments by format, ")".
int32_t Compiler::call_with(const char*& p, std::string_view name, std::string_view format, Op op) {
    const char* q = p;
    if (match_keyword(q, name) < 0) return kRefused;
    q = skip_blanks(q);
    if (*q != '(') return kRefused;
    ++q;
    Node node(op);
    for (const char kind : format) {
        if (node.count > 0) {
            q = skip_blanks(q);
            if (*q != ',') return kRefused;
            ++q;
        }
        const int32_t value = argument(q, kind);
        if (value < 0) return kRefused;
        node.child[node.count++] = value;
    }
    q = skip_blanks(q);
    if (*q != ')') return kRefused;
    p = q + 1;
    evaluates_ = true;
    return add(node);
}

// No pure built-in takes a 64-bit whole number ('L'), so programs have no step for one.
int32_t Compiler::argument(const char*& p, char format) {
    switch (format) {
        case 'c':
        case 'd':
        case 'l': return expression(p);
        case 's': return string_value(p);
        default: return kRefused;
    }
}

// A variable, or an element when subscripts follow; the position stands after the name.
int32_t Compiler::element(int32_t variable, const char*& p, Op scalar, Op array) {
    const char* after = skip_blanks(p);
    if (*after != '(' && *after != '[') return add(Node(scalar, variable));
    Node node(array, variable);
    if (!subscripts(after, node)) return kRefused;
    p = after;
    return add(node);
}

bool Compiler::subscripts(const char*& p, Node& node) {
    const char* q = p + 1;
    for (;;) {
        if (node.count == node.child.size()) return false;
        const int32_t value = expression(q);
        if (value < 0) return false;
        node.child[node.count++] = subscript_form(value);
        q = skip_blanks(q);
        if (*q == ',') {
            ++q;
            continue;
        }
        if (*q != ')' && *q != ']') return false;
        p = q + 1;
        return true;
    }
}

// A subscript that is a variable, or one plus or minus a constant, becomes a single
// node. Only its whole value counts, so a zero's sign, which a sum would make +0,
// may stay as it is; and x - c is x + (-c) exactly.
int32_t Compiler::subscript_form(int32_t value) {
    const Node expression = trees_.at(value);
    Node offset(Op::VariablePlus, expression.index);
    if (expression.op == Op::Variable) return add(offset);
    if (expression.op != Op::Add && expression.op != Op::Subtract) return value;
    const Node left = trees_.at(expression.child[0]);
    const Node right = trees_.at(expression.child[1]);
    if (left.op != Op::Variable || right.op != Op::Constant) return value;
    offset.index = left.index;
    offset.value = expression.op == Op::Add ? right.value : -right.value;
    return add(offset);
}

// ---- String expressions.

int32_t Compiler::string(const char*& p) {
    const char* q = p;
    int32_t value = string_operand(q);
    if (value < 0) return kRefused;
    for (;;) {
        const char* r = skip_blanks(q);
        if (*r != '+') break;
        ++r;
        const int32_t right = string_operand(r);
        if (right < 0) return kRefused;
        value = binary(Op::Concat, value, right);
        q = r;
    }
    p = q;
    return value;
}

int32_t Compiler::string_value(const char*& p) {
    const char* q = p;
    const int32_t value = string(q);
    if (value < 0) return kRefused;
    q = skip_blanks(q);
    if (is_comparison_start(*q)) return kRefused;
    p = q;
    return value;
}

int32_t Compiler::string_operand(const char*& p) {
    const char* q = skip_blanks(p);
    if (!may_begin_string(q)) return kRefused;
    if (starts_with_nocase(q, "fn")) {
        const int32_t call = user_call(q, true);
        if (call >= 0) p = q;
        return call;
    }
    if (*q == '"') {
        C_STR literal;
        if (scan_string_literal(q, literal) < 0) return kRefused;
        code_.strings.emplace_back(literal.view());
        p = q;
        return add(Node(Op::StringConstant, static_cast<int32_t>(code_.strings.size() - 1)));
    }
    // These are read without the "(" rule: a name that begins like them is theirs.
    for (std::string_view clock_or_key : {"date$", "time$", "inkey$"})
        if (starts_with_nocase(q, clock_or_key)) return kRefused;
    if (int32_t function; string_function(q, function)) {
        if (function >= 0) p = q;
        return function;
    }
    std::string_view name;
    int type;
    const char* after = q;
    if (!scan_var_name(after, name, type) || type != VT_STRING) return kRefused;
    if (const int32_t k = parameter(name); k >= 0) {
        const char c = *skip_blanks(after);
        if (c == '(' || c == '[') return kRefused;
        p = after;
        return add(Node(Op::StringParameter, k));
    }
    const int32_t node = element(slot(name, type), after, Op::StringVariable, Op::StringElement);
    if (node >= 0) p = after;
    return node;
}

// True when a string built-in is named at `p`; `node` is its call, or kRefused for
// one that this compiler does not model.
bool Compiler::string_function(const char*& p, int32_t& node) {
    struct Known {
        std::string_view name, format;
        Op op;
    };
    static constexpr Known kKnown[] = {
        {"chr$", "l", Op::Chr},   {"left$", "sl", Op::Left},   {"right$", "sl", Op::Right},
        {"mid$", "sll", Op::Mid}, {"str$", "c", Op::Str},      {"space$", "l", Op::Space},
        {"string$", "ll", Op::StringOf}};
    for (const Known& known : kKnown) {
        if (names_call(p, known.name)) {
            node = call_with(p, known.name, known.format, known.op);
            return true;
        }
    }
    node = kRefused;
    for (std::string_view other : {"hex$", "oct$", "input$", "mki$", "mks$", "mkd$"})
        if (names_call(p, other)) return true;
    return false;
}

// ---- Statements.

int32_t Compiler::assignment(const char* p, Statement& statement) {
    std::string_view name;
    int type;
    const char* q = p;
    if (!scan_var_name(q, name, type)) return kRefused;
    statement.slot = slot(name, type);
    statement.whole = stores_whole_numbers(type);
    const char* after = skip_blanks(q);
    if (*after == '(' || *after == '[') {
        Node element(type == VT_STRING ? Op::StringElement : Op::Element, statement.slot);
        if (!subscripts(after, element)) return kRefused;
        roots_.assigned = add(element);
        q = after;
    }
    q = skip_blanks(q);
    if (*q != '=') return kRefused;
    ++q;
    if (type == VT_STRING) {
        statement.kind = Kind::AssignString;
        roots_.value = string_value(q);
        statement.appends = roots_.assigned < 0 && roots_.value >= 0 && adds_to(statement.slot, roots_.value);
    } else {
        statement.kind = Kind::AssignNumber;
        roots_.value = expression(q);
    }
    if (roots_.value < 0 || *skip_blanks(q) == ',') return kRefused;
    statement.end = offset(q);
    return 0;
}

// Whether string node `value` is variable `slot` + something.
bool Compiler::adds_to(int32_t slot, int32_t value) const {
    const Node& sum = trees_.at(value);
    if (sum.op != Op::Concat) return false;
    const Node& left = trees_.at(sum.child[0]);
    return left.op == Op::StringVariable && left.index == slot;
}

int32_t Compiler::for_statement(const char* p, Statement& statement) {
    std::string_view name;
    int type;
    const char* q = p;
    if (!scan_var_name(q, name, type) || type == VT_STRING) return kRefused;
    statement.kind = Kind::For;
    statement.slot = slot(name, type);
    q = skip_blanks(q);
    if (*q != '=') return kRefused;
    ++q;
    if ((roots_.value = expression(q)) < 0) return kRefused;
    if (match_keyword(q, "to") < 0) return kRefused;
    if ((roots_.limit = expression(q)) < 0) return kRefused;
    if (match_keyword(q, "step") == 0 && (roots_.step = expression(q)) < 0) return kRefused;
    statement.end = offset(q);
    return 0;
}

int32_t Compiler::next_statement(const char* p, Statement& statement) {
    statement.kind = Kind::Next;
    const char* q = p;
    std::string_view name;
    int type;
    vm_error::clear();
    if (scan_var_name(q, name, type))
        statement.slot = slot(name, type);
    else
        q = p;
    // A reserved word or an over-long name after next leaves its message, which wins
    // over the failure at the statement's end.
    if (vm_error::has_message()) return kRefused;
    statement.end = offset(q);
    return 0;
}

int32_t Compiler::if_statement(const char* p, Statement& statement) {
    statement.kind = Kind::If;
    const char* q = p;
    if ((roots_.value = expression(q)) < 0) return kRefused;
    const char* then = q;
    if (match_keyword(then, "then") == 0) {
        const char* target_text = then;
        vm_error::clear();
        const int32_t target = parse_jump_target(vm_.program, target_text);
        // A malformed label leaves its message for later failures to find.
        if (vm_error::has_message()) return kRefused;
        statement.target = target > 0 ? vm_.program.find(target) : nullptr;
        statement.then_offset = offset(then);
    }
    int nesting = 0;
    for (const char* scan = q;;) {
        const ScanStop stop = scan_for_keywords(scan, "if", "else");
        if (stop == ScanStop::Opener) {
            ++nesting;
        } else if (stop == ScanStop::EndOfLine || nesting-- == 0) {
            statement.else_offset = offset(scan);
            return 0;
        }
    }
}

int32_t Compiler::jump_statement(const char* p, Statement& statement) {
    const char* q = p;
    const int32_t target = parse_jump_target(vm_.program, q);
    statement.target = target > 0 ? vm_.program.find(target) : nullptr;
    if (!statement.target) return kRefused;
    if (statement.kind == Kind::Goto && !at_statement_end(q)) return kRefused;
    statement.end = offset(q);
    return 0;
}

int32_t Compiler::while_statement(const char* p, Statement& statement) {
    statement.kind = Kind::While;
    statement.else_offset = offset(p - std::char_traits<char>::length("while"));
    const char* q = p;
    if ((roots_.value = expression(q)) < 0) return kRefused;
    statement.end = offset(q);
    // Where a false condition goes on; without a wend, the text interpreter reports it.
    statement.resume = q;
    if (!find_matching_wend(vm_.current_line, statement.resume, statement.target)) return kRefused;
    return 0;
}

bool Compiler::statement(const char* p, Statement& statement) {
    const std::string_view keyword = statement_keyword_at(p);
    const char* after = p + keyword.size();
    int32_t compiled = kRefused;
    if (keyword.empty() || keyword == "let") {
        compiled = assignment(after, statement);
    } else if (keyword == "for") {
        compiled = for_statement(after, statement);
    } else if (keyword == "next") {
        compiled = next_statement(after, statement);
    } else if (keyword == "if") {
        compiled = if_statement(after, statement);
    } else if (keyword == "goto" || keyword == "gosub") {
        statement.kind = keyword == "goto" ? Kind::Goto : Kind::Gosub;
        compiled = jump_statement(after, statement);
    } else if (keyword == "return" || keyword == "wend") {
        statement.kind = keyword == "return" ? Kind::Return : Kind::Wend;
        if (at_statement_end(after)) compiled = 0;
        statement.end = offset(after);
    } else if (keyword == "while") {
        compiled = while_statement(after, statement);
    }
    statement.evaluates = evaluates_;
    return compiled >= 0;
}

// Comparisons, logic and whole-number uses see -0 as +0, so the operands of these
// nodes, and the values of an if, a while or an integer assignment, need no sum's
// zero made +0; nor do these nodes' own values, which are never -0.
bool ignores_zero_sign(Op op) {
    switch (op) {
        case Op::Equal: case Op::NotEqual: case Op::Less: case Op::LessEqual: case Op::Greater: case Op::GreaterEqual:
        case Op::Not: case Op::And: case Op::Or: case Op::Xor: case Op::Imp: case Op::Eqv: return true;
        default: return false;
    }
}

void drop_unseen_normalizing(Trees& trees, const Roots& roots, const Statement& statement) {
    const auto unseen = [&](int32_t index) { trees.nodes[static_cast<size_t>(index)].normalize = false; };
    for (Node& node : trees.nodes) {
        if (!ignores_zero_sign(node.op)) continue;
        node.normalize = false;
        unseen(node.child[0]);
        if (node.op != Op::Not) unseen(node.child[1]);
    }
    if (statement.kind == Kind::If || statement.kind == Kind::While || statement.whole) unseen(roots.value);
}

// What follows a statement's end: see Statement::follow.
int32_t following_statement(const char* body, int32_t end) {
    const char* q = skip_blanks(body + end);
    if (*q != ':') return at_statement_end(q) ? kFollowLineEnd : kFollowUnknown;
    q = skip_blanks(q + 1);
    return *q == ':' || *q == '\0' ? kFollowUnknown : static_cast<int32_t>(q - body);
}

}  // namespace

int32_t compile_statement(C_VMBAS& vm, CompiledLine& code, const char* body, const char* p) {
    // Scanning names and targets may leave refusals in the error buffer; whatever the
    // program had there before must be there afterwards.
    const std::string held = vm_error::message();
    vm_error::clear();
    // Slots, strings and built-ins that a refused statement named stay unused in the
    // line; they cost only memory.
    // The trees of one statement at a time, their storage kept from one to the next:
    // compiling then gives back no memory that the variables a program makes while it
    // runs would take up, out of the order in which it makes them.
    static thread_local Trees trees;
    trees.nodes.clear();
    trees.calls.clear();
    Statement statement;
    Compiler compiler(vm, code, trees, body);
    bool compiled = compiler.statement(p, statement);
    if (compiled) {
        drop_unseen_normalizing(trees, compiler.roots(), statement);
        statement.follow = following_statement(body, statement.end);
        if (statement.kind == Kind::If)
            statement.follow = *skip_blanks(body + statement.else_offset) == '\0' ? kFollowLineEnd : kFollowUnknown;
        compiled = flatten(code, trees, compiler.roots(), statement, static_cast<int32_t>(code.statements.size()));
    }
    vm_error::clear();
    vm_error::fail(held);
    if (!compiled) return kTextOnly;
    code.statements.push_back(statement);
    return static_cast<int32_t>(code.statements.size() - 1);
}

}  // namespace compiled

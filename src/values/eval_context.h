// What the evaluator works on: the variables and functions, the random generator, the
// option base, err and erl, the nesting depth, and the function libraries registered
// beyond the core built-ins. The interpreter is one; the evaluator needs no more.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "values/builtin_functions.h"
#include "values/random.h"
#include "values/user_functions.h"
#include "values/variables.h"

// Reads a string function at `p` as eval_string_function does, with the same results.
using StringFunctionReader = BuiltinResult (*)(EvalContext& context, const char*& p, C_STR& out);

// Each library registers its functions here; they are tried after the core ones, in
// the order registered. The tables are static, so compiled code may keep pointers into them.
class FunctionLibraries {
public:
    void add(std::span<const BuiltinFunction> functions) {
        numeric_.push_back(functions);
        for (const BuiltinFunction& function : functions) first_letters_ |= letter_bit(function.name[0]);
    }
    void add(StringFunctionReader reader) { string_.push_back(reader); }

    // False when no registered numeric function begins with `first` (in lower case), so
    // that most names need no search of the libraries.
    bool may_begin(char first) const { return (first_letters_ & letter_bit(first)) != 0; }
    const std::vector<std::span<const BuiltinFunction>>& numeric() const { return numeric_; }
    const std::vector<StringFunctionReader>& string() const { return string_; }

private:
    static uint32_t letter_bit(char c) { return c >= 'a' && c <= 'z' ? 1u << (c - 'a') : 1u << 31; }

    std::vector<std::span<const BuiltinFunction>> numeric_;
    std::vector<StringFunctionReader> string_;
    uint32_t first_letters_ = 0;
};

struct EvalContext {
    UserFunctions functions;
    VariableStore variables;
    RandomNumbers random;
    int option_base = 0;
    int32_t err = 0;
    int32_t erl = 0;

    // Nesting of evaluations and function calls, bounded so that no input can
    // exhaust the machine stack.
    int eval_depth = 0;

    FunctionLibraries libraries;
};

// The rules of the language that more than one place applies: the text interpreter's
// statements, the evaluator and the compiled engine all ask here, so that the engines
// cannot drift apart. Values in, a verdict or a value out; a verdict that is a
// message is raised by the caller, which knows how it fails.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string_view>

#include "values/complex.h"
#include "values/messages.h"
#include "values/variables.h"

namespace rules {

// ---- Truth and real operands.

// True is -1, false 0.
inline Complex truth(bool holds) { return {holds ? -1.0 : 0.0, 0.0}; }

// Logic, orderings and the conditions of statements take real values only.
inline bool is_real(Complex z) { return z.im == 0.0; }

// A real condition holds unless it is zero.
inline bool is_true(Complex condition) { return condition.re != 0.0; }

// ---- Comparisons.

// = and <> compare whole complex values.
inline bool same_value(Complex a, Complex b) { return a.re == b.re && a.im == b.im; }

enum class Ordering : uint8_t { Less, LessEqual, Greater, GreaterEqual };

// An ordering of two real values, of their real parts: none holds with a NaN.
inline bool ordered(Ordering ordering, double a, double b) {
    switch (ordering) {
        case Ordering::Less: return a < b;
        case Ordering::LessEqual: return a <= b;
        case Ordering::Greater: return a > b;
        default: return a >= b;
    }
}

enum class Comparison : uint8_t { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual };

// Unsigned byte order over the whole length: a proper prefix is the lesser string.
// Negative, zero or positive.
inline int compare_strings(std::string_view a, std::string_view b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

// Whether `comparison` holds between two strings of order `order` (compare_strings).
inline bool string_comparison_holds(Comparison comparison, int order) {
    switch (comparison) {
        case Comparison::Equal: return order == 0;
        case Comparison::NotEqual: return order != 0;
        case Comparison::Less: return order < 0;
        case Comparison::LessEqual: return order <= 0;
        case Comparison::Greater: return order > 0;
        default: return order >= 0;
    }
}

// ---- Logical operators, on the whole numbers of real values (64 bits).

enum class Logical : uint8_t { And, Or, Xor, Imp, Eqv };

inline int64_t combine_bits(Logical op, int64_t x, int64_t y) {
    switch (op) {
        case Logical::And: return x & y;
        case Logical::Or: return x | y;
        case Logical::Xor: return x ^ y;
        case Logical::Imp: return ~x | y;
        default: return ~(x ^ y);
    }
}

// `op` of two values into `out`; false, without a value, when either is not real.
inline bool combine_logical(Logical op, Complex left, Complex right, Complex& out) {
    if (!is_real(left) || !is_real(right)) return false;
    out = {static_cast<double>(combine_bits(op, to_int64(left.re), to_int64(right.re))), 0.0};
    return true;
}

// not of a value into `out`; false when it is not real.
inline bool logical_not(Complex operand, Complex& out) {
    if (!is_real(operand)) return false;
    out = {static_cast<double>(~to_int64(operand.re)), 0.0};
    return true;
}

// ---- for and next.

// Without step a loop counts up when its limit lies above its start, else down.
inline Complex default_step(Complex start, Complex limit) { return {limit.re > start.re ? 1.0 : -1.0, 0.0}; }

// The checks of a for's bounds, in the order they are made: the message of the first
// that fails, or empty when the loop may begin.
inline std::string_view for_bounds_error(Complex start, Complex limit, Complex step) {
    if (!is_real(start) || !is_real(limit) || !is_real(step)) return messages::translatable("for 文で虚数は無効");
    if (limit.re > start.re) return step.re > 0 ? std::string_view() : messages::translatable("増分値が正でない");
    return step.re < 0 ? std::string_view() : messages::translatable("増分値が負でない");
}

// What each pass adds to a loop variable of type `type`: the step, made whole for an
// integer variable (so a fractional step never moves it).
inline double loop_increment(Complex step, int type) { return coerce_to_type(step, type).re; }

// Moves a loop variable's value on by one pass. Loop variables are numeric: only an
// integer one changes on being stored. Its increment is whole, and so is its value but
// for what poke makes of its bytes: their sum is then whole too, which truncation
// leaves as it is within 64 bits. The sum is stored as it is, and truncated only where
// that would change it, so that no conversion stands between one pass's value and the
// next one's: the test beside them only decides a branch.
[[gnu::always_inline]] inline void advance(Complex& value, double increment, int type) {
    if (stores_whole_numbers(type)) {
        value = {value.re + increment, 0.0};
        if (static_cast<double>(to_int64(value.re)) != value.re) [[unlikely]]
            value = coerce_to_type(value, VT_INTEGER);
    } else {
        value = value + Complex{increment, 0.0};
    }
}

// Whether a loop whose variable has come to `value` runs its body again.
[[gnu::always_inline]] inline bool loop_goes_on(double value, double limit, double step) {
    return (step > 0 && value <= limit) || (step < 0 && value >= limit);
}

// ---- Subscripts and arguments.

// The lowest subscript under `option base`.
inline int32_t lowest_subscript(int option_base) { return option_base == 1 ? 1 : 0; }

// Whether subscript value `value` names an index, which goes into `index`. The value
// is truncated toward zero, so -0.5 still addresses element 0; the truncation comes
// first, since it gives INT64_MIN for NaN and for values beyond every integer, which
// one unsigned comparison then refuses with the negative ones.
// `lowest` by reference: the engine's loops read it only once the value passes.
inline bool names_index(Complex value, const int32_t& lowest, int32_t& index) {
    const int64_t whole = to_int64(value.re);
    if (!is_real(value) || static_cast<uint64_t>(whole) > kMaxSubscript) return false;
    index = static_cast<int32_t>(whole);
    return index >= lowest;
}

// The same as a message when it names none, or empty.
inline std::string_view subscript_error(Complex value, int32_t lowest, int32_t& index) {
    if (names_index(value, lowest, index)) return {};
    if (!is_real(value)) return messages::translatable("配列の添字が虚数");
    const int32_t no_lowest = INT32_MIN;
    return names_index(value, no_lowest, index) ? messages::translatable("配列の添字が option base 未満")
                                                : messages::translatable("配列の添字が無効");
}

// The ranges of whole-number arguments of built-in functions: 32 and 64 bits.
inline constexpr double kLowestInt32Argument = -2147483648.0;
inline constexpr double kHighestInt32Argument = 2147483647.0;
inline constexpr double kLowestInt64Argument = -9223372036854775808.0;
inline constexpr double kHighestInt64Argument = 9223372036854775808.0;

// A real argument that must lie within [low, high]: the message when it does not, or
// empty.
inline std::string_view real_argument_error(Complex z, double low, double high) {
    if (!is_real(z)) return messages::translatable("虚数引数は無効");
    return z.re >= low && z.re <= high ? std::string_view() : messages::translatable("引数レンジ超過");
}

// The same for a whole-number argument of 32 bits, which is then `static_cast` to one.
inline std::string_view int32_argument_error(Complex z) {
    return real_argument_error(z, kLowestInt32Argument, kHighestInt32Argument);
}

// ---- Built-in functions that the compiled engine also computes in place.

// int: each part rounded down.
inline Complex whole_part(Complex z) { return {std::floor(z.re), std::floor(z.im)}; }

// norm: the square of the modulus.
inline Complex norm_of(Complex z) { return {z.re * z.re + z.im * z.im, 0.0}; }

// asc: the first byte, 0 for the empty string.
inline double first_byte(std::string_view text) { return text.empty() ? 0 : static_cast<unsigned char>(text[0]); }

// left$, right$ and mid$: a part of `whole`; counts below 1 give nothing, a position
// below 1 counts as 1.
inline std::string_view left_part(std::string_view whole, int32_t count) {
    return whole.substr(0, static_cast<size_t>(std::max(count, 0)));
}
inline std::string_view right_part(std::string_view whole, int32_t count) {
    const size_t keep = std::min(static_cast<size_t>(std::max(count, 0)), whole.size());
    return whole.substr(whole.size() - keep);
}
inline std::string_view middle_part(std::string_view whole, int32_t position, int32_t count) {
    const size_t start = static_cast<size_t>(std::max(position, 1) - 1);
    return start >= whole.size() ? std::string_view() : whole.substr(start, static_cast<size_t>(std::max(count, 0)));
}

// space$ and string$: how many bytes, 0 to 255.
inline size_t repeat_count(int32_t n) { return static_cast<size_t>(std::max(0, std::min(n, 255))); }

// chr$ and string$: the byte of a character code, its low 8 bits.
inline char byte_of_code(int32_t code) { return static_cast<char>(code & 0xFF); }

// ---- Typed storage.

// An integer parameter, or any parameter of an integer function, holds whole numbers.
inline bool parameter_is_whole(int parameter_type, int function_type) {
    return stores_whole_numbers(parameter_type) || stores_whole_numbers(function_type);
}

// ---- Tracing.

// Entering `line`, a record with a line number, shows its mark "[n]" while trace is on;
// the typed command's line, number 0, shows none. The number is read only while
// tracing: the engine asks at every pass of its loops.
template <typename Line>
bool shows_trace_mark(bool trace, const Line& line) {
    return trace && line.number > 0;
}

}  // namespace rules

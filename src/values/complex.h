// The one numeric type: a complex number of two doubles, its arithmetic (which never
// fails: undefined results are NaN parts) and the conversions for typed storage.
#pragma once
#include <cmath>
#include <cstdint>
#include <limits>

// Value type codes, chosen by a name's suffix: "#", none, "%", "$".
enum ValueType : int { VT_NONE = 0, VT_DOUBLE = 1, VT_COMPLEX = 2, VT_INTEGER = 3, VT_STRING = 4 };

struct Complex {
    double re = 0.0;
    double im = 0.0;
};

inline Complex operator+(Complex a, Complex b) { return {a.re + b.re, a.im + b.im}; }
inline Complex operator-(Complex a, Complex b) { return {a.re - b.re, a.im - b.im}; }
// A real factor (imaginary part zero) scales each part of the other, so that a product
// with an infinity keeps its other part finite: INF*2 is INF, not INF+NANi.
inline Complex operator*(Complex a, Complex b) {
    if (b.im == 0.0) return {a.re * b.re, a.im == 0.0 ? 0.0 : a.im * b.re};
    if (a.im == 0.0) return {a.re * b.re, a.re * b.im};
    return {a.re * b.re - a.im * b.im, a.im * b.re + a.re * b.im};
}
inline Complex operator-(Complex a) { return {-a.re, -a.im}; }

// Division by a real divisor other than zero: each part on its own.
inline Complex divide_by_real(Complex a, double divisor) { return {a.re / divisor, a.im / divisor}; }

// Smith's division; a zero or NaN divisor gives (NaN, NaN) instead of an error.
inline Complex operator/(Complex a, Complex b) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double c = b.re, d = b.im;
    if (std::isnan(c) || std::isnan(d)) return {nan, nan};
    if (d == 0.0) return c == 0.0 ? Complex{nan, nan} : divide_by_real(a, c);
    if (!(std::fabs(c) > std::fabs(d))) {
        const double r = c / d;
        const double den = r * c + d;
        if (std::isnan(den) || den == 0.0) return {nan, nan};
        return {(a.re * r + a.im) / den, (a.im * r - a.re) / den};
    }
    const double r = d / c;
    const double den = d * r + c;
    if (std::isnan(den) || den == 0.0) return {nan, nan};
    return {(a.im * r + a.re) / den, (a.im - a.re * r) / den};
}

// Replaces -0 parts by +0 so that a computed value never shows as a negative zero.
inline Complex normalize_zero(Complex z) {
    // Adding +0 turns -0 into +0 and leaves every other value, NaN included, as it is.
    return {z.re + 0.0, z.im + 0.0};
}

// a + b and a - b with their zero parts made +0, as normalize_zero of them gives. A sum
// is -0 only where both its terms are, so it is enough to make one term +0 first: the
// second, which an accumulation such as s = s + x does not carry from one pass to the
// next, so that its one addition more lies beside the chain of sums and not on it.
inline Complex normalized_sum(Complex a, Complex b) { return a + normalize_zero(b); }
inline Complex normalized_difference(Complex a, Complex b) { return a + normalize_zero(-b); }

// Truncation toward zero; NaN and out-of-range values give INT64_MIN. Always inline,
// as coerce_to_type below: the compiled engine's large loop would otherwise call both.
[[gnu::always_inline]] inline int64_t to_int64(double x) {
#if defined(__x86_64__)
    // The processor's truncation gives INT64_MIN itself for NaN and out of range: one
    // instruction in place of two tests where the loops store to integer variables.
    // Written out, since GCC folds the intrinsic on constants by other rules.
    int64_t whole;
    asm("cvttsd2si %1, %0" : "=r"(whole) : "x"(x));
    return whole;
#else
    if (!(x >= -9223372036854775808.0 && x < 9223372036854775808.0)) return INT64_MIN;
    return static_cast<int64_t>(x);
#endif
}

// Truncation toward zero to 32 bits; NaN and out-of-range values give INT32_MIN.
inline int32_t to_int32(double x) {
    if (!(x > -2147483649.0 && x < 2147483648.0)) return INT32_MIN;
    return static_cast<int32_t>(x);
}

// Whether storing a number as `type` changes it: only integers are made whole. Where
// this is known beforehand, the conversion can be left out.
inline bool stores_whole_numbers(int type) { return type == VT_INTEGER; }

[[gnu::always_inline]] inline Complex coerce_to_type(Complex z, int type) {
    if (type == VT_DOUBLE || type == VT_COMPLEX) return z;
    if (type == VT_INTEGER) return {static_cast<double>(to_int64(z.re)), 0.0};
    return {};
}

// Principal-value complex functions. Where the C library's complex functions compute
// the same formulas with care for overflow (sqrt, sin, cos, sinh, cosh and the inverse
// functions) they are used; tan, tanh and pow follow their own case splits here.
#include "values/complex_math.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace cmath {
namespace {

using StdComplex = std::complex<double>;

StdComplex to_std(Complex z) { return {z.re, z.im}; }
Complex from_std(StdComplex z) { return {z.real(), z.imag()}; }

constexpr double kPi = 3.14159265358979323846;
constexpr double kLog10E = 0.4342944819032518;

// From about this magnitude on e^m alone overflows (or, negated, turns subnormal and
// loses bits), though its products with cos and sin of the angle may still be ordinary.
constexpr double kPlainExpLimit = 708.0;
// Past this magnitude every product with a nonzero factor overflows or underflows anyway.
constexpr double kExpClamp = 1500.0;
// 1799·ln 2 lies unusually close to a double; the shift by that double is exact for
// magnitudes between the two limits above, and its small remainder is added back.
constexpr int kShift = 1799;
constexpr double kShiftLn2 = 1246.97177782734161156;
constexpr double kShiftLn2Remainder = 8.6288757651559817e-17;  // 1799·ln 2 − kShiftLn2
constexpr int kMantissaBits = 1023;

// e^magnitude as mantissa · 2^exponent. The mantissa lies in [2^1022, 2^1023), so that
// its product with even the smallest subnormal factor is still a normal number and only
// the final scaling rounds.
double exp_mantissa(double magnitude, int& exponent) {
    const double m = std::clamp(magnitude, -kExpClamp, kExpClamp);
    const double shifted = m > 0 ? m - kShiftLn2 : m + kShiftLn2;
    const double power = std::exp(shifted);
    const double remainder = m > 0 ? -kShiftLn2Remainder : kShiftLn2Remainder;
    int binary = 0;
    const double fraction = std::frexp(std::fma(power, remainder, power), &binary);
    exponent = binary + (m > 0 ? kShift : -kShift) - kMantissaBits;
    return std::ldexp(fraction, kMantissaBits);
}

// e^m · factor; a zero factor stays zero however large e^m is.
double scaled(double factor, double mantissa, int exponent) {
    if (factor == 0.0) return factor;
    return std::ldexp(factor * mantissa, exponent);
}

// e^magnitude at angle `angle`, finite wherever the result itself is representable.
Complex polar_exp(double magnitude, double angle) {
    const double c = std::cos(angle), s = std::sin(angle);
    if (!(std::fabs(magnitude) > kPlainExpLimit)) {
        const double scale = std::exp(magnitude);
        return {scale * c, scale * s};
    }
    int exponent = 0;
    const double mantissa = exp_mantissa(magnitude, exponent);
    return {scaled(c, mantissa, exponent), scaled(s, mantissa, exponent)};
}

}  // namespace

Complex exp(Complex z) {
    if (z.im == 0.0) return {std::exp(z.re), z.im};
    return polar_exp(z.re, z.im);
}

Complex log(Complex z) {
    // The library's clog computes log|z| without overflow and accurately near |z| = 1.
    return {std::log(to_std(z)).real(), std::atan2(z.im, z.re)};
}

Complex log10(Complex z) {
    Complex l = log(z);
    return {l.re * kLog10E, l.im * kLog10E};
}

Complex sqrt(Complex z) { return from_std(std::sqrt(to_std(z))); }
Complex sin(Complex z) { return from_std(std::sin(to_std(z))); }
Complex cos(Complex z) { return from_std(std::cos(to_std(z))); }
Complex sinh(Complex z) { return from_std(std::sinh(to_std(z))); }
Complex cosh(Complex z) { return from_std(std::cosh(to_std(z))); }
Complex asin(Complex z) { return from_std(std::asin(to_std(z))); }
Complex acos(Complex z) { return from_std(std::acos(to_std(z))); }
Complex atan(Complex z) { return from_std(std::atan(to_std(z))); }

Complex tan(Complex z) {
    const double t = std::tan(z.re);
    const double s = std::sinh(-z.im);
    const double b = (1 + t * t) * s;
    const double d = b * s + 1;
    if (std::isinf(d)) return {t * 0.0, s < 0 ? 1.0 : -1.0};
    return {t / d, -(std::sqrt(1 + s * s) * b) / d};
}

Complex tanh(Complex z) {
    const double t = std::tan(z.im);
    const double s = std::sinh(z.re);
    const double b = (1 + t * t) * s;
    const double d = b * s + 1;
    if (std::isinf(d)) return {s >= 0 ? 1.0 : -1.0, t * 0.0};
    return {std::sqrt(1 + s * s) * b / d, t / d};
}

namespace {

// Up to this exponent a whole power of a complex base is a product of squares, exact
// where the arithmetic is (i^2 is -1, not -1+1.2E-16i); beyond it the rounding of so
// many products would outweigh the gain.
constexpr double kLargestSquaringExponent = 100.0;

bool is_whole(double x) { return std::isfinite(x) && x == std::trunc(x); }

Complex power_by_squaring(Complex z, double n) {
    auto remaining = static_cast<unsigned>(std::fabs(n));
    Complex result{1.0, 0.0};
    for (Complex square = z; remaining != 0; remaining >>= 1) {
        if (remaining & 1u) result = result * square;
        if (remaining > 1) square = square * square;
    }
    return n < 0 ? Complex{1.0, 0.0} / result : result;
}

Complex power_of_real(double x, double u) {
    if (x < 0.0 && !is_whole(u)) {
        const double magnitude = std::pow(-x, u);
        return {magnitude * std::cos(u * kPi), magnitude * std::sin(u * kPi)};
    }
    // A zero base counts as +0, so that 0^(negative) is +infinity whatever the sign of the zero.
    return {std::pow(x == 0.0 ? 0.0 : x, u), 0.0};
}

}  // namespace

Complex pow(Complex z, Complex w) {
    if (w.im != 0.0) {
        Complex l = (z.im == 0.0 && z.re > 0.0) ? Complex{std::log(z.re), 0.0} : log(z);
        Complex e = w * l;
        return polar_exp(e.re, e.im);
    }
    if (z.im != 0.0) {
        if (is_whole(w.re) && std::fabs(w.re) <= kLargestSquaringExponent) {
            // Where a square overflows, the polar form below keeps what can be kept.
            const Complex power = power_by_squaring(z, w.re);
            if (std::isfinite(power.re) && std::isfinite(power.im)) return power;
        }
        Complex l = log(z);
        return polar_exp(w.re * l.re, w.re * l.im);
    }
    Complex result = power_of_real(z.re, w.re);
    if (std::signbit(z.im)) result.im = -result.im;
    return result;
}

}  // namespace cmath

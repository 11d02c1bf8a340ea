// Principal-value complex functions. Where the C library's complex functions compute
// the same formulas with care for overflow (sqrt, sin, cos, sinh, cosh and the inverse
// functions) they are used; tan, tanh and pow follow their own case splits here.
#include "values/complex_math.h"

#include <complex>

namespace cmath {
namespace {

using StdComplex = std::complex<double>;

StdComplex to_std(Complex z) { return {z.re, z.im}; }
Complex from_std(StdComplex z) { return {z.real(), z.imag()}; }

constexpr double kPi = 3.14159265358979323846;
constexpr double kLog10E = 0.4342944819032518;

// e^magnitude at angle `angle`; where e^magnitude alone would overflow the product
// is formed from two halves so that finite results stay finite.
Complex polar_exp(double magnitude, double angle) {
    const double c = std::cos(angle), s = std::sin(angle);
    if (magnitude > 709.0) {
        const double half = std::exp(magnitude / 2);
        return {half * c * half, half * s * half};
    }
    const double scale = std::exp(magnitude);
    return {scale * c, scale * s};
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

Complex pow(Complex z, Complex w) {
    if (w.im != 0.0) {
        Complex l = (z.im == 0.0 && z.re > 0.0) ? Complex{std::log(z.re), 0.0} : log(z);
        Complex e = w * l;
        return polar_exp(e.re, e.im);
    }
    if (z.im != 0.0) {
        Complex l = log(z);
        return polar_exp(w.re * l.re, w.re * l.im);
    }
    Complex result;
    if (z.re < 0.0) {
        const double magnitude = std::pow(-z.re, w.re);
        result = {magnitude * std::cos(w.re * kPi), magnitude * std::sin(w.re * kPi)};
    } else {
        result = {std::pow(z.re, w.re), 0.0};
    }
    if (std::signbit(z.im)) result.im = -result.im;
    return result;
}

}  // namespace cmath

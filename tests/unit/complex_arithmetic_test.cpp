// The arithmetic where a floating-point leftover would show: whole powers, and products
// and quotients with a real operand next to an infinity or NaN.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

#include "values/complex_math.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Equal bit for bit, but +0 and -0 count as one (normalisation removes the difference).
bool same(double a, double b) {
    if (a == 0.0 && b == 0.0) return true;
    if (std::isnan(a) && std::isnan(b)) return true;
    return std::memcmp(&a, &b, sizeof a) == 0;
}

::testing::AssertionResult equals(Complex actual, Complex expected) {
    if (same(actual.re, expected.re) && same(actual.im, expected.im)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << actual.re << ", " << actual.im << "), expected ("
                                         << expected.re << ", " << expected.im << ")";
}

// Bit for bit, the signs of zeros included; any NaN is one NaN.
bool identical(double a, double b) { return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0; }

Complex power(Complex z, double n) { return cmath::pow(z, {n, 0}); }

TEST(WholePowers, OfARealBaseAreRealAndExact) {
    EXPECT_TRUE(equals(power({-3, 0}, 2), {9, 0}));
    EXPECT_TRUE(equals(power({-2, 0}, 3), {-8, 0}));
    EXPECT_TRUE(equals(power({-1, 0}, 1001), {-1, 0}));
    EXPECT_TRUE(equals(power({-10, 0}, -2), {0.01, 0}));
    EXPECT_TRUE(equals(power({-5, 0}, 2), {25, 0}));
    // The largest odd whole double, and one that is even, far beyond any squaring.
    EXPECT_TRUE(equals(power({-1, 0}, 9007199254740991.0), {-1, 0}));
    EXPECT_TRUE(equals(power({-1, 0}, 18014398509481984.0), {1, 0}));
    EXPECT_TRUE(equals(power({-2, 0}, 1024), {kInf, 0}));
    EXPECT_TRUE(equals(power({-2, 0}, -1075), {-0.0, 0}));
    // A base whose imaginary part is -0 still gives its result conjugated.
    EXPECT_TRUE(std::signbit(power({-3, -0.0}, 2).im));
}

TEST(WholePowers, OfAComplexBaseAreProductsOfSquares) {
    EXPECT_TRUE(equals(power({0, 1}, 2), {-1, 0}));
    EXPECT_TRUE(equals(power({0, 1}, 4), {1, 0}));
    EXPECT_TRUE(equals(power({0, 1}, -1), {0, -1}));
    EXPECT_TRUE(equals(power({1, 1}, 2), {0, 2}));
    EXPECT_TRUE(equals(power({1, 1}, -2), {0, -0.5}));
    EXPECT_TRUE(equals(power({1, 2}, 3), {-11, -2}));
    EXPECT_TRUE(equals(power({1, 2}, 0), {1, 0}));
    EXPECT_TRUE(equals(power({1, 1}, 100), {-1125899906842624.0, 0}));  // (2i)^50 = -2^50
    // Beyond the squaring range and where a square overflows, the polar form answers.
    const Complex far = power({0, 1}, 101);
    EXPECT_NEAR(far.re, 0.0, 1e-14);
    EXPECT_NEAR(far.im, 1.0, 1e-14);
    EXPECT_FALSE(same(far.re, 0.0));
    EXPECT_TRUE(equals(power({1e300, 5e-324}, 3), {kInf, 0}));
}

TEST(WholePowers, OtherExponentsKeepThePolarForm) {
    const Complex root = power({-4, 0}, 0.5);
    EXPECT_FALSE(same(root.re, 0.0));  // cos(pi/2) in doubles, shown as 2i
    EXPECT_EQ(root.im, 2.0);
    EXPECT_TRUE(std::isnan(power({-3, 0}, kInf).re));
    EXPECT_TRUE(equals(power({0, 0}, 0), {1, 0}));
    EXPECT_TRUE(equals(power({-0.0, 0}, -3), {kInf, 0}));
}

TEST(RealOperands, KeepTheOtherPartFinite) {
    const Complex inf{kInf, 0};
    EXPECT_TRUE(equals(inf * Complex{2, 0}, inf));
    EXPECT_TRUE(equals(Complex{2, 0} * inf, inf));
    EXPECT_TRUE(equals(inf / Complex{2, 0}, inf));
    EXPECT_TRUE(equals(Complex{-kInf, 0} / Complex{std::log(2.0), 0}, {-kInf, 0}));
    EXPECT_TRUE(equals(Complex{1, 2} * inf, {kInf, kInf}));
    EXPECT_TRUE(equals(inf * Complex{1, -2}, {kInf, -kInf}));
    EXPECT_TRUE(equals(Complex{3, -6} / Complex{1e-310, 0}, {kInf, -kInf}));
    EXPECT_TRUE(equals(Complex{3, 4} / inf, {0, 0}));
    // What stays undefined stays NaN: 0 times infinity, a zero or NaN divisor.
    EXPECT_TRUE(equals(inf * Complex{0, 0}, {kNaN, 0}));
    EXPECT_TRUE(equals(Complex{0, 1} * inf, {kNaN, kInf}));
    EXPECT_TRUE(equals(Complex{1, 0} / Complex{0, 0}, {kNaN, kNaN}));
    EXPECT_TRUE(equals(Complex{0, 0} / Complex{-0.0, 0}, {kNaN, kNaN}));
    EXPECT_TRUE(equals(Complex{1, 1} / Complex{kNaN, 0}, {kNaN, kNaN}));
    EXPECT_TRUE(equals(Complex{kNaN, 0} * Complex{2, 0}, {kNaN, 0}));
    // Two complex operands keep the full formulas.
    EXPECT_TRUE(equals(Complex{kInf, 1} * Complex{1, 1}, {kInf, kInf}));
    EXPECT_TRUE(equals(Complex{kInf, 0} / Complex{1, 1}, {kInf, -kInf}));
}

// The complex formulas with one real operand, as they stood before.
Complex product_in_full(Complex a, Complex b) { return {a.re * b.re - a.im * b.im, a.im * b.re + a.re * b.im}; }
Complex smith_by_real(Complex a, double c) {
    const double r = 0.0 / c;
    const double den = 0.0 * r + c;
    return {(a.im * r + a.re) / den, (a.im - a.re * r) / den};
}

double random_finite(std::mt19937_64& bits) {
    double x;
    do {
        const uint64_t word = bits();
        std::memcpy(&x, &word, sizeof x);
    } while (!std::isfinite(x));
    return x;
}

TEST(RealOperands, FiniteResultsAreThoseOfTheFullFormulas) {
    std::mt19937_64 bits(20261210);
    for (int k = 0; k < 200000; ++k) {
        const Complex z{random_finite(bits), random_finite(bits)};
        const Complex x{random_finite(bits), 0};
        for (const Complex& expected : {product_in_full(z, x), product_in_full(x, z)}) {
            if (std::isfinite(expected.re) && std::isfinite(expected.im)) {
                ASSERT_TRUE(equals(z * x, expected)) << z.re << " " << z.im << " " << x.re;
            }
        }
        const Complex quotient = smith_by_real(z, x.re);
        if (x.re != 0.0 && std::isfinite(quotient.re) && std::isfinite(quotient.im)) {
            ASSERT_TRUE(equals(z / x, quotient)) << z.re << " " << z.im << " " << x.re;
        }
    }
}

}  // namespace

// Integer storage truncates toward zero, and whatever has no 64-bit integer (NaN, an
// infinity, 2^63 and beyond) becomes the least one, on every processor alike.
TEST(IntegerStorage, TruncatesTowardZeroAndGivesTheLeastWhereNoIntegerIs) {
    EXPECT_EQ(to_int64(-0.5), 0);
    EXPECT_EQ(to_int64(2.9), 2);
    EXPECT_EQ(to_int64(-2.9), -2);
    EXPECT_EQ(to_int64(-9223372036854775808.0), INT64_MIN);
    EXPECT_EQ(to_int64(9223372036854774784.0), INT64_C(9223372036854774784));  // the largest double below 2^63
    EXPECT_EQ(to_int64(9223372036854775808.0), INT64_MIN);
    EXPECT_EQ(to_int64(-1e300), INT64_MIN);
    EXPECT_EQ(to_int64(kInf), INT64_MIN);
    EXPECT_EQ(to_int64(kNaN), INT64_MIN);
    EXPECT_TRUE(equals(coerce_to_type({7.8, 3.0}, VT_INTEGER), {7.0, 0.0}));
}

TEST(NormalizedSums, AreTheSumsAndDifferencesWithTheirZerosMadePositive) {
    const double reals[] = {0.0, -0.0, 1.0, -1.0, 5e-324, -1e308, kInf, -kInf, kNaN};
    const double imaginaries[] = {0.0, -0.0, 2.0};
    for (double ar : reals)
        for (double ai : imaginaries)
            for (double br : reals)
                for (double bi : imaginaries) {
                    const Complex a{ar, ai}, b{br, -bi};
                    const Complex sum = normalized_sum(a, b), expected_sum = normalize_zero(a + b);
                    const Complex difference = normalized_difference(a, b), expected_difference = normalize_zero(a - b);
                    EXPECT_TRUE(identical(sum.re, expected_sum.re) && identical(sum.im, expected_sum.im))
                        << "(" << ar << ", " << ai << ") + (" << br << ", " << -bi << ")";
                    EXPECT_TRUE(identical(difference.re, expected_difference.re) &&
                                identical(difference.im, expected_difference.im))
                        << "(" << ar << ", " << ai << ") - (" << br << ", " << -bi << ")";
                }
}

// Accuracy of the complex elementary functions against the shared table of correctly
// rounded reference values, and the special values of pow, log and exp.
//
// Every case with finite input and finite expected value is compared, signs of zero
// parts included; none is excused. Cases with an infinite or NaN input or result are
// left out because there the tan, tanh and exp formulas this system uses decide NaN
// parts differently from the table (tan(inf + 0i), exp(inf + inf i) and the like).
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <limits>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "values/complex_math.h"

namespace {

struct VectorCase {
    std::string id;
    std::string function;
    Complex input;
    Complex expected;
    bool ignore_real_sign = false;
    bool ignore_imag_sign = false;
};

bool is_finite(Complex z) { return std::isfinite(z.re) && std::isfinite(z.im); }

// One line is "<id> <function> <re> <im> -> <re> <im> [flags...]"; comments start with "--".
bool parse_case(const std::string& line, VectorCase& out) {
    std::istringstream fields(line);
    std::string re, im, arrow, expected_re, expected_im, flag;
    if (!(fields >> out.id >> out.function >> re >> im >> arrow >> expected_re >> expected_im)) return false;
    if (arrow != "->") return false;
    out.input = {std::strtod(re.c_str(), nullptr), std::strtod(im.c_str(), nullptr)};
    out.expected = {std::strtod(expected_re.c_str(), nullptr), std::strtod(expected_im.c_str(), nullptr)};
    while (fields >> flag) {
        if (flag == "ignore-real-sign") out.ignore_real_sign = true;
        if (flag == "ignore-imag-sign") out.ignore_imag_sign = true;
    }
    return true;
}

// CPython's reference values for its cmath module (see tests/data/cmath_testcases.NOTICE).
constexpr const char* kReferenceVectors = VELMORA_TEST_DATA "/cmath_testcases.txt";

const std::vector<VectorCase>& reference_cases() {
    static const std::vector<VectorCase> cases = [] {
        std::vector<VectorCase> loaded;
        std::ifstream file(kReferenceVectors);
        std::string line;
        while (std::getline(file, line)) {
            if (line.rfind("--", 0) == 0) continue;
            VectorCase c;
            if (parse_case(line, c)) loaded.push_back(c);
        }
        return loaded;
    }();
    return cases;
}

// Maps a double onto a line of integers where neighbouring doubles are one apart
// and both zeros meet at 0.
int64_t ulp_index(double x) {
    int64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return bits < 0 ? INT64_MIN - bits : bits;
}

uint64_t ulp_distance(double a, double b) {
    const int64_t ia = ulp_index(a), ib = ulp_index(b);
    return ia > ib ? uint64_t(ia) - uint64_t(ib) : uint64_t(ib) - uint64_t(ia);
}

constexpr uint64_t kMaxUlps = 4;

bool part_matches(double expected, double actual, bool ignore_sign) {
    if (ignore_sign) {
        expected = std::fabs(expected);
        actual = std::fabs(actual);
    }
    if (expected == 0.0)
        return std::fabs(actual) <= kMaxUlps * DBL_TRUE_MIN && std::signbit(actual) == std::signbit(expected);
    return ulp_distance(expected, actual) <= kMaxUlps;
}

std::string describe(Complex z) {
    char text[96];
    std::snprintf(text, sizeof text, "(%.17g, %.17g)", z.re, z.im);
    return text;
}

using UnaryFunction = Complex (*)(Complex);

void check_function(const std::string& name, UnaryFunction function) {
    const auto& cases = reference_cases();
    ASSERT_FALSE(cases.empty()) << "no reference vectors in " << kReferenceVectors;
    int checked = 0;
    for (const VectorCase& c : cases) {
        if (c.function != name || !is_finite(c.input) || !is_finite(c.expected)) continue;
        ++checked;
        const Complex actual = function(c.input);
        const bool ok = part_matches(c.expected.re, actual.re, c.ignore_real_sign) &&
                        part_matches(c.expected.im, actual.im, c.ignore_imag_sign);
        EXPECT_TRUE(ok) << c.id << ": " << name << describe(c.input) << " expected " << describe(c.expected)
                        << " got " << describe(actual) << " (ulps " << ulp_distance(c.expected.re, actual.re)
                        << ", " << ulp_distance(c.expected.im, actual.im) << ")";
    }
    std::printf("%s: %d reference cases checked\n", name.c_str(), checked);
    EXPECT_GT(checked, 0);
}

TEST(ComplexMathVectors, Sqrt) { check_function("sqrt", cmath::sqrt); }
TEST(ComplexMathVectors, Exp) { check_function("exp", cmath::exp); }
TEST(ComplexMathVectors, Log) { check_function("log", cmath::log); }
TEST(ComplexMathVectors, Log10) { check_function("log10", cmath::log10); }
TEST(ComplexMathVectors, Sin) { check_function("sin", cmath::sin); }
TEST(ComplexMathVectors, Cos) { check_function("cos", cmath::cos); }
TEST(ComplexMathVectors, Tan) { check_function("tan", cmath::tan); }
TEST(ComplexMathVectors, Asin) { check_function("asin", cmath::asin); }
TEST(ComplexMathVectors, Acos) { check_function("acos", cmath::acos); }
TEST(ComplexMathVectors, Atan) { check_function("atan", cmath::atan); }
TEST(ComplexMathVectors, Sinh) { check_function("sinh", cmath::sinh); }
TEST(ComplexMathVectors, Cosh) { check_function("cosh", cmath::cosh); }
TEST(ComplexMathVectors, Tanh) { check_function("tanh", cmath::tanh); }

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kTolerance = 1e-15;

TEST(ComplexMathSpecialValues, Pow) {
    const Complex two_to_ten = cmath::pow({2, 0}, {10, 0});
    EXPECT_EQ(two_to_ten.re, 1024.0);
    EXPECT_EQ(two_to_ten.im, 0.0);

    const Complex cube_root = cmath::pow({-8, 0}, {1.0 / 3, 0});
    EXPECT_NEAR(cube_root.re, 1.0, kTolerance);
    EXPECT_NEAR(cube_root.im, 1.73205080756888, 1e-14);

    // cos(0.5·pi) is not exactly 0 in doubles, which is why the real part is not 0.
    const Complex root_of_minus_four = cmath::pow({-4, 0}, {0.5, 0});
    EXPECT_NEAR(root_of_minus_four.re, 1.2246467991473532e-16, 1e-30);
    EXPECT_DOUBLE_EQ(root_of_minus_four.im, 2.0);

    const Complex i_to_i = cmath::pow({0, 1}, {0, 1});
    EXPECT_NEAR(i_to_i.re, 0.207879576350762, kTolerance);
    EXPECT_EQ(i_to_i.im, 0.0);

    const Complex two_to_i = cmath::pow({2, 0}, {0, 1});
    EXPECT_NEAR(two_to_i.re, 0.769238901363972, kTolerance);
    EXPECT_NEAR(two_to_i.im, 0.638961276313635, kTolerance);

    const Complex root_of_minus_one = cmath::pow({-1, 0}, {0.5, 0});
    EXPECT_NEAR(root_of_minus_one.re, 0.0, 1e-16);
    EXPECT_DOUBLE_EQ(root_of_minus_one.im, 1.0);
    EXPECT_NEAR(cmath::pow({2, 0}, {0.5, 0}).re, 1.4142135623731, 1e-13);
}

TEST(ComplexMathSpecialValues, PowOfZero) {
    const Complex zero_to_zero = cmath::pow({0, 0}, {0, 0});
    EXPECT_EQ(zero_to_zero.re, 1.0);
    EXPECT_EQ(zero_to_zero.im, 0.0);

    for (double zero : {0.0, -0.0}) {
        const Complex reciprocal = cmath::pow({zero, 0}, {-1, 0});
        EXPECT_EQ(reciprocal.re, kInf) << "base " << zero;
        EXPECT_EQ(reciprocal.im, 0.0) << "base " << zero;
    }
}

TEST(ComplexMathSpecialValues, PowConjugatesForNegativeZeroImaginaryBase) {
    const Complex above = cmath::pow({-4, 0.0}, {0.5, 0});
    const Complex below = cmath::pow({-4, -0.0}, {0.5, 0});
    EXPECT_DOUBLE_EQ(above.im, 2.0);
    EXPECT_DOUBLE_EQ(below.im, -2.0);
}

TEST(ComplexMathSpecialValues, LogAndExp) {
    const Complex log_zero = cmath::log({0, 0});
    EXPECT_EQ(log_zero.re, -kInf);
    EXPECT_EQ(log_zero.im, 0.0);

    const Complex log_minus_one = cmath::log({-1, 0});
    EXPECT_EQ(log_minus_one.re, 0.0);
    EXPECT_NEAR(log_minus_one.im, 3.14159265358979, 1e-14);

    EXPECT_DOUBLE_EQ(cmath::log10({100, 0}).re, 2.0);
    const Complex log10_minus_ten = cmath::log10({-10, 0});
    EXPECT_DOUBLE_EQ(log10_minus_ten.re, 1.0);
    EXPECT_NEAR(log10_minus_ten.im, 1.36437635384184, 1e-14);

    const Complex minus_one = cmath::exp({0, std::numbers::pi});
    EXPECT_EQ(minus_one.re, -1.0);
    EXPECT_NEAR(minus_one.im, 1.2246467991473532e-16, 1e-30);
}

TEST(ComplexMathSpecialValues, SqrtAndInverseFunctions) {
    const Complex root_of_minus_four = cmath::sqrt({-4, 0});
    EXPECT_EQ(root_of_minus_four.re, 0.0);
    EXPECT_EQ(root_of_minus_four.im, 2.0);

    const Complex root_of_i = cmath::sqrt({0, 1});
    EXPECT_NEAR(root_of_i.re, 0.707106781186548, kTolerance);
    EXPECT_NEAR(root_of_i.im, 0.707106781186548, kTolerance);

    EXPECT_NEAR(cmath::asin({2, 0}).re, 1.5707963267949, 1e-13);
}

TEST(ComplexMathSpecialValues, TanOfRealsAndTanhOfLargeValues) {
    for (double x : {0.5, -1.2, 3.0, 100.0}) {
        const Complex t = cmath::tan({x, 0});
        EXPECT_DOUBLE_EQ(t.re, std::tan(x)) << "x " << x;
        EXPECT_EQ(t.im, 0.0) << "x " << x;
    }
    const Complex saturated = cmath::tanh({1000, 0});
    EXPECT_EQ(saturated.re, 1.0);
    EXPECT_EQ(saturated.im, 0.0);
}

// e^x overflows on its own, but the product with a tiny sine does not.
TEST(ComplexMathSpecialValues, ExpStaysFiniteWhereOnlyTheFactorOverflows) {
    const Complex huge = cmath::exp({1420, 1e-320});
    EXPECT_EQ(huge.re, kInf);
    EXPECT_LE(ulp_distance(huge.im, 4.9906770543234345e296), kMaxUlps) << huge.im;

    const Complex tiny = cmath::exp({-745, 0.7});
    EXPECT_EQ(tiny.re, 0.0);
    EXPECT_EQ(tiny.im, 0.0);
}

// A zero angle leaves a zero part however large the magnitude, instead of inf · 0.
TEST(ComplexMathSpecialValues, PowWithZeroAngleAndHugeMagnitude) {
    const Complex cube = cmath::pow({1e300, 5e-324}, {3, 0});
    EXPECT_EQ(cube.re, kInf);
    EXPECT_EQ(cube.im, 0.0);
}

}  // namespace

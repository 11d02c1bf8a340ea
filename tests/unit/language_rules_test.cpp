// The language rules that both engines ask, at their edges: equal bounds, a zero step,
// NaN, the ends of the subscript range, the logical operators' whole numbers.
#include <gtest/gtest.h>

#include <limits>
#include <string_view>

#include "values/language_rules.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

Complex real(double x) { return {x, 0.0}; }

TEST(ForLoopRules, DefaultStepCountsDownUnlessTheLimitLiesAbove) {
    EXPECT_EQ(rules::default_step(real(1), real(10)).re, 1.0);
    EXPECT_EQ(rules::default_step(real(10), real(1)).re, -1.0);
    EXPECT_EQ(rules::default_step(real(5), real(5)).re, -1.0);
    EXPECT_EQ(rules::default_step(real(1), real(kNaN)).re, -1.0);
}

TEST(ForLoopRules, BoundsRefuseAStepAgainstTheDirection) {
    EXPECT_EQ(rules::for_bounds_error(real(1), real(10), real(1)), "");
    EXPECT_EQ(rules::for_bounds_error(real(10), real(1), real(-2)), "");
    EXPECT_EQ(rules::for_bounds_error(real(1), real(10), real(0)), "増分値が正でない");
    EXPECT_EQ(rules::for_bounds_error(real(10), real(1), real(0)), "増分値が負でない");
    // Equal bounds count as falling: only a negative step is taken.
    EXPECT_EQ(rules::for_bounds_error(real(5), real(5), real(1)), "増分値が負でない");
    EXPECT_EQ(rules::for_bounds_error(real(5), real(5), real(-1)), "");
    EXPECT_EQ(rules::for_bounds_error(real(1), real(10), real(kNaN)), "増分値が正でない");
    EXPECT_EQ(rules::for_bounds_error(real(10), real(1), real(kNaN)), "増分値が負でない");
    // The imaginary parts are checked before the direction.
    EXPECT_EQ(rules::for_bounds_error(real(1), real(10), {0.0, 1.0}), "for 文で虚数は無効");
    EXPECT_EQ(rules::for_bounds_error({1.0, 1.0}, real(10), real(1)), "for 文で虚数は無効");
}

TEST(ForLoopRules, NextGoesOnUpToTheLimitItselfAndNeverWithAZeroStepOrNaN) {
    EXPECT_TRUE(rules::loop_goes_on(10, 10, 1));
    EXPECT_FALSE(rules::loop_goes_on(11, 10, 1));
    EXPECT_TRUE(rules::loop_goes_on(1, 1, -1));
    EXPECT_FALSE(rules::loop_goes_on(0, 1, -1));
    EXPECT_FALSE(rules::loop_goes_on(5, 10, 0));
    EXPECT_FALSE(rules::loop_goes_on(kNaN, 10, 1));
    EXPECT_FALSE(rules::loop_goes_on(5, kNaN, 1));
}

TEST(ForLoopRules, AnIntegerVariableTakesAWholeStep) {
    EXPECT_EQ(rules::loop_increment(real(0.5), VT_INTEGER), 0.0);
    EXPECT_EQ(rules::loop_increment(real(-1.5), VT_INTEGER), -1.0);
    EXPECT_EQ(rules::loop_increment(real(0.5), VT_DOUBLE), 0.5);
    Complex value{2.0, 0.0};
    rules::advance(value, 0.5, VT_COMPLEX);
    EXPECT_EQ(value.re, 2.5);
    rules::advance(value, 1.0, VT_INTEGER);
    EXPECT_EQ(value.re, 3.0);
}

TEST(ForLoopRules, AnIntegerVariableBeyond64BitsBecomesTheLeast) {
    const double least = -9223372036854775808.0;
    Complex value{9223372036854774784.0, 0.0};  // the largest double below 2^63
    rules::advance(value, 1024.0, VT_INTEGER);
    EXPECT_EQ(value.re, least);
    rules::advance(value, 0.0, VT_INTEGER);
    EXPECT_EQ(value.re, least);
    rules::advance(value, -4096.0, VT_INTEGER);
    EXPECT_EQ(value.re, least);
    rules::advance(value, 4096.0, VT_INTEGER);
    EXPECT_EQ(value.re, least + 4096.0);
}

TEST(ComparisonRules, OrderingsCompareRealPartsAndNoneHoldsWithNaN) {
    using rules::Ordering;
    EXPECT_TRUE(rules::ordered(Ordering::LessEqual, 1, 1));
    EXPECT_FALSE(rules::ordered(Ordering::Less, 1, 1));
    EXPECT_TRUE(rules::ordered(Ordering::GreaterEqual, 2, 1));
    for (Ordering ordering : {Ordering::Less, Ordering::LessEqual, Ordering::Greater, Ordering::GreaterEqual}) {
        EXPECT_FALSE(rules::ordered(ordering, kNaN, 1));
        EXPECT_FALSE(rules::ordered(ordering, 1, kNaN));
    }
}

TEST(ComparisonRules, EqualityTakesTheWholeValue) {
    EXPECT_TRUE(rules::same_value({1.0, 1.0}, {1.0, 1.0}));
    EXPECT_FALSE(rules::same_value({1.0, 1.0}, real(1)));
    EXPECT_TRUE(rules::same_value(real(-0.0), real(0.0)));
    EXPECT_FALSE(rules::same_value(real(kNaN), real(kNaN)));
    EXPECT_EQ(rules::truth(true).re, -1.0);
    EXPECT_EQ(rules::truth(false).re, 0.0);
}

TEST(LogicalRules, WholeNumbersOf64Bits) {
    using rules::Logical;
    EXPECT_EQ(rules::combine_bits(Logical::Imp, 0, 0), -1);
    EXPECT_EQ(rules::combine_bits(Logical::Eqv, 5, 3), -7);
    EXPECT_EQ(rules::combine_bits(Logical::Xor, 5, 3), 6);
    Complex out{7.0, 0.0};
    // Truncated toward zero: 5 and -3 is 5, where rounding down would give 5 and -4, 4.
    ASSERT_TRUE(rules::combine_logical(Logical::And, real(5.9), real(-3.5), out));
    EXPECT_EQ(out.re, 5.0);
    ASSERT_TRUE(rules::logical_not(real(kNaN), out));  // NaN is the lowest whole number
    EXPECT_EQ(out.re, static_cast<double>(std::numeric_limits<int64_t>::max()));
}

TEST(LogicalRules, NonRealOperandsAreRefusedAndLeaveNoValue) {
    Complex out{7.0, 0.0};
    EXPECT_FALSE(rules::combine_logical(rules::Logical::Or, real(1), {0.0, 1.0}, out));
    EXPECT_FALSE(rules::combine_logical(rules::Logical::Or, {1.0, -0.5}, real(1), out));
    EXPECT_FALSE(rules::logical_not({0.0, 1.0}, out));
    EXPECT_EQ(out.re, 7.0);
}

TEST(SubscriptRules, TheRangeIsCheckedBeforeTruncation) {
    int32_t index = -5;
    EXPECT_EQ(rules::subscript_error(real(-0.5), 0, index), "");
    EXPECT_EQ(index, 0);
    EXPECT_EQ(rules::subscript_error(real(kMaxSubscript + 0.5), 0, index), "");
    EXPECT_EQ(index, kMaxSubscript);
    EXPECT_EQ(rules::subscript_error(real(-1), 0, index), "配列の添字が無効");
    EXPECT_EQ(rules::subscript_error(real(kMaxSubscript + 1.0), 0, index), "配列の添字が無効");
    EXPECT_EQ(rules::subscript_error(real(kNaN), 0, index), "配列の添字が無効");
    EXPECT_EQ(rules::subscript_error(real(-std::numeric_limits<double>::infinity()), 0, index), "配列の添字が無効");
    EXPECT_EQ(rules::subscript_error(real(1e300), 0, index), "配列の添字が無効");
    EXPECT_EQ(rules::subscript_error({1.0, 1.0}, 0, index), "配列の添字が虚数");
}

TEST(SubscriptRules, OptionBaseOneRefusesWhatTruncatesToZero) {
    int32_t index = -5;
    const int32_t lowest = rules::lowest_subscript(1);
    EXPECT_EQ(rules::subscript_error(real(0.9), lowest, index), "配列の添字が option base 未満");
    EXPECT_FALSE(rules::names_index(real(0.9), lowest, index));
    EXPECT_TRUE(rules::names_index(real(1), lowest, index));
    EXPECT_EQ(rules::lowest_subscript(0), 0);
}

TEST(ArgumentRules, RangesIncludeTheirEnds) {
    using rules::real_argument_error;
    EXPECT_EQ(real_argument_error(real(-2147483648.0), rules::kLowestInt32Argument, rules::kHighestInt32Argument), "");
    EXPECT_EQ(real_argument_error(real(2147483648.0), rules::kLowestInt32Argument, rules::kHighestInt32Argument),
              "引数レンジ超過");
    EXPECT_EQ(real_argument_error(real(kNaN), rules::kLowestInt64Argument, rules::kHighestInt64Argument), "引数レンジ超過");
    EXPECT_EQ(real_argument_error({0.0, 1.0}, rules::kLowestInt64Argument, rules::kHighestInt64Argument), "虚数引数は無効");
}

}  // namespace

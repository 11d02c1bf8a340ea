// The number display: every row of the display table and the grouping rule.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "values/number_format.h"

namespace {

std::string shown(double re, double im = 0.0) { return format_default(re, im); }

TEST(NumberFormat, DisplayTable) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(shown(0), "0");
    EXPECT_EQ(shown(2.5), "2.5");
    EXPECT_EQ(shown(1e15), "1E+15");
    EXPECT_EQ(shown(999999999999999), "999999999999999");
    EXPECT_EQ(shown(0.1 + 0.2), "0.3");
    EXPECT_EQ(shown(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(shown(1e20), "1E+20");
    EXPECT_EQ(shown(3, 4), "3+4i");
    EXPECT_EQ(shown(3, -4), "3-4i");
    EXPECT_EQ(shown(0, 2.5), "2.5i");
    EXPECT_EQ(shown(0, 1), "i");
    EXPECT_EQ(shown(0, -1), "-i");
    EXPECT_EQ(shown(2, 1), "2+i");
    EXPECT_EQ(shown(2, -1), "2-i");
    EXPECT_EQ(shown(1, 1e-16), "1");
    EXPECT_EQ(shown(1e-16, 1), "i");
    EXPECT_EQ(shown(1e-15, 1), "1E-15+i");
    EXPECT_EQ(shown(inf), "INF");
    EXPECT_EQ(shown(-inf), "-INF");
    EXPECT_EQ(shown(nan, nan), "NAN+NANi");
}

TEST(NumberFormat, ExplicitPlusFlagIsNotDoubled) {
    NumberFormat format;
    std::snprintf(format.spec, sizeof format.spec, "%%+6.2f");
    EXPECT_EQ(format_number(format, 1.5, 2), " +1.50 +2.00i");
}

TEST(NumberFormat, GroupingTakesBlanksForCommas) {
    NumberFormat format;
    format.group_thousands = true;
    std::snprintf(format.spec, sizeof format.spec, "%%12.2f");
    EXPECT_EQ(format_number(format, 1234567.891, 0), "1,234,567.89");
    std::snprintf(format.spec, sizeof format.spec, "%%10.2f");
    EXPECT_EQ(format_number(format, 1234567.891, 0), "1,234,567.89");
    std::snprintf(format.spec, sizeof format.spec, "%%4.0f");
    EXPECT_EQ(format_number(format, 123, 0), " 123");
}

TEST(NumberFormat, OnlyTheRealPartBeforeTheFirstDotIsGrouped) {
    NumberFormat format;
    format.group_thousands = true;
    std::snprintf(format.spec, sizeof format.spec, "%%1.1f");
    EXPECT_EQ(format_number(format, 1234.5, 5678.5), "1,234.5+5678.5i");
    std::snprintf(format.spec, sizeof format.spec, "%%1.0f");
    EXPECT_EQ(format_number(format, 1234, 5678), "1234+5678i");
}

TEST(NumberFormat, TheWidestFieldsOfBothPartsFitWhole) {
    NumberFormat format;
    std::snprintf(format.spec, sizeof format.spec, "%%1.300f");
    const std::string text = format_number(format, 1e308, -1e308);
    ASSERT_EQ(text.size(), 2 * (309 + 1 + 300) + 2);
    EXPECT_EQ(text.back(), 'i');
    EXPECT_EQ(text[310 + 300], '-');
    format.group_thousands = true;
    const std::string grouped = format_number(format, 1e308, 1e308);
    EXPECT_EQ(grouped.size(), text.size() + 102);
    EXPECT_EQ(grouped.back(), 'i');
}

}  // namespace

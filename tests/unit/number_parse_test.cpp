// Numeric literals and complex text: what is taken, where the pointer stops, and that a
// failure leaves the pointer where it was.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "values/number_parse.h"

namespace {

struct Literal {
    int result;
    double value;
    std::string rest;
};

Literal literal(const char* text) {
    const char* p = text;
    double value = -99;
    const int result = parse_number(p, value);
    return {result, value, p};
}

TEST(NumberParse, RadixPrefixes) {
    EXPECT_EQ(literal("&h10").value, 16);
    EXPECT_EQ(literal("0X1f+").value, 31);
    EXPECT_EQ(literal("0X1f+").rest, "+");
    EXPECT_EQ(literal("&10").value, 8);
    EXPECT_EQ(literal("&17i").rest, "i");
    EXPECT_EQ(literal("&hFFFFFFFFFFFFFFFF").value, -1);
    EXPECT_EQ(literal("&h10000000000000001").value, 1);  // wraps to the low 64 bits
}

TEST(NumberParse, PrefixWithoutDigitsFallsThrough) {
    EXPECT_EQ(literal("&8").result, -1);
    EXPECT_EQ(literal("&8").rest, "&8");
    EXPECT_EQ(literal("&hg").result, -1);
    EXPECT_EQ(literal("&hg").rest, "&hg");
    const Literal zero = literal("0xg");
    EXPECT_EQ(zero.result, 0);
    EXPECT_EQ(zero.value, 0);
    EXPECT_EQ(zero.rest, "xg");
}

TEST(NumberParse, DecimalIsTheLongestNumber) {
    EXPECT_EQ(literal("12").value, 12);
    EXPECT_EQ(literal(".5").value, 0.5);
    EXPECT_EQ(literal("5.").value, 5);
    EXPECT_EQ(literal("1e-3").value, 1e-3);
    EXPECT_EQ(literal("1E+300").value, 1e300);
    EXPECT_EQ(literal("1.5e3i").rest, "i");
    EXPECT_EQ(literal("1e").rest, "e");
    EXPECT_EQ(literal("12345678901234567890").value, 12345678901234567890.0);
}

TEST(NumberParse, WordsAndHexadecimalFloatsAsStrtodReadsThem) {
    for (const char* text : {"inf", "INF", "Infinity", "iNfInItY"}) EXPECT_EQ(literal(text).value, INFINITY) << text;
    EXPECT_EQ(literal("infinit").rest, "init");
    EXPECT_EQ(literal("infi").rest, "i");
    for (const char* text : {"nan", "NaN", "NAN"}) EXPECT_TRUE(std::isnan(literal(text).value)) << text;
    EXPECT_EQ(literal("0x.8p1").value, 1);
    EXPECT_EQ(literal("0X.8P1i").rest, "i");
    // A hexadecimal digit right after "0x" makes it a hexadecimal integer.
    const Literal integer = literal("0x1.8p1");
    EXPECT_EQ(integer.value, 1);
    EXPECT_EQ(integer.rest, ".8p1");
}

TEST(NumberParse, NoSignNoBlanks) {
    for (const char* text : {"-1", "+1", " 1", "\t1", "\n1", ".", "e5", "-inf", " nan", "in", "&h.8p1", ""}) {
        const Literal refused = literal(text);
        EXPECT_EQ(refused.result, -1) << text;
        EXPECT_EQ(refused.rest, text) << text;
        EXPECT_EQ(refused.value, -99) << text;
    }
}

struct Text {
    int result;
    Complex value;
    std::string rest;
};

Text complex_text(const char* text) {
    const char* p = text;
    Complex value{-99, -99};
    const int result = parse_complex_text(p, value);
    return {result, value, p};
}

void expect_value(const char* text, double re, double im, const char* rest = "") {
    const Text t = complex_text(text);
    EXPECT_EQ(t.result, 0) << text;
    EXPECT_EQ(t.value.re, re) << text;
    EXPECT_EQ(t.value.im, im) << text;
    EXPECT_EQ(t.rest, rest) << text;
}

TEST(ComplexText, Examples) {
    expect_value("3", 3, 0);
    expect_value("-2.5", -2.5, 0);
    expect_value("i", 0, 1);
    expect_value("-i", 0, -1);
    expect_value("4i", 0, 4);
    expect_value("3+4i", 3, 4);
    expect_value("3 - i", 3, -1);
    expect_value("+", 1, 0);
    expect_value("-", -1, 0);
    expect_value("", 1, 0);
}

TEST(ComplexText, WordsTakeTheSign) {
    expect_value("-Infinity", -INFINITY, 0);
    expect_value("+inf", INFINITY, 0);
    expect_value("3-infi", 3, -INFINITY);
    expect_value("0x.8p1+0x.4p2i", 1, 1);
    const Text nan = complex_text(" -nan x");
    EXPECT_TRUE(std::isnan(nan.value.re));
    EXPECT_TRUE(std::signbit(nan.value.re));
    EXPECT_EQ(nan.rest, "x");
}

TEST(ComplexText, StopsBeforeWhatIsNotPartOfTheNumber) {
    expect_value("12x", 12, 0, "x");
    expect_value("3 i", 3, 0, "i");
    expect_value(" 5 ,6", 5, 0, ",6");
    expect_value("2i+3", 0, 2, "+3");
}

TEST(ComplexText, ASecondPartNeedsItsI) {
    for (const char* text : {"3+4", "3+4 i", "1-", "2+x"}) {
        const Text t = complex_text(text);
        EXPECT_EQ(t.result, -1) << text;
        EXPECT_EQ(t.rest, text) << text;
    }
}

}  // namespace

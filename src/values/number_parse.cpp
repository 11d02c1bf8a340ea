// Numeric literals and complex text.
#include "values/number_parse.h"

#include <clocale>
#include <cstdlib>

#include "values/text_scan.h"

namespace {

int hex_digit(char c) {
    if (is_digit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Accumulates digits of 2^bits_per_digit on 64 bits (wrapping) and reads the result
// as signed; returns false when no digit follows.
bool parse_radix(const char*& p, int bits_per_digit, double& value) {
    const int radix = 1 << bits_per_digit;
    uint64_t accumulator = 0;
    const char* q = p;
    int digit;
    while ((digit = hex_digit(*q)) >= 0 && digit < radix) {
        accumulator = (accumulator << bits_per_digit) + static_cast<uint64_t>(digit);
        ++q;
    }
    if (q == p) return false;
    value = static_cast<double>(static_cast<int64_t>(accumulator));
    p = q;
    return true;
}

// Most literals are short integers, read exactly without strtod; anything with a
// fraction, an exponent, more than 15 digits or a hexadecimal "0x" goes to strtod.
bool read_small_integer(const char*& p, double& value) {
    const char* q = p;
    int64_t digits = 0;
    while (is_digit(*q) && q - p < 15) digits = digits * 10 + (*q++ - '0');
    if (q == p || is_digit(*q) || *q == '.' || to_lower(*q) == 'e' || to_lower(*q) == 'x') return false;
    value = static_cast<double>(digits);
    p = q;
    return true;
}

// strtod skips white space and takes a sign; a literal has neither. Everything else
// that strtod accepts is a number: "inf", "infinity", "nan" in any case, and
// hexadecimal floating forms such as 0x.8p1.
bool may_start_decimal(char c) {
    return !(c == '+' || c == '-' || c == ' ' || (c >= '\t' && c <= '\r') || c == '\0');
}

// Numbers are written with "." whatever the user's locale says.
locale_t c_locale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t{});
    return locale;
}

}  // namespace

int parse_number(const char*& p, double& value) {
    if ((p[0] == '&' && (p[1] == 'h' || p[1] == 'H')) || (p[0] == '0' && (p[1] == 'x' || p[1] == 'X'))) {
        const char* digits = p + 2;
        if (parse_radix(digits, 4, value)) {
            p = digits;
            return 0;
        }
    }
    if (p[0] == '&') {
        const char* digits = p + 1;
        if (parse_radix(digits, 3, value)) {
            p = digits;
            return 0;
        }
    }
    if (!may_start_decimal(p[0])) return -1;
    if (read_small_integer(p, value)) return 0;
    char* end = nullptr;
    const double parsed = strtod_l(p, &end, c_locale());
    if (end == p) return -1;
    value = parsed;
    p = end;
    return 0;
}

int parse_complex_text(const char*& p, Complex& value) {
    const char* q = p;
    q = skip_blanks(q);
    bool negative = false;
    if (*q == '+' || *q == '-') {
        negative = *q == '-';
        ++q;
        q = skip_blanks(q);
    }
    double first = 1.0;
    if (parse_number(q, first) < 0) first = 1.0;  // a missing coefficient
    if (negative) first = -first;  // the sign bit, as strtod sets it for "-nan"
    if (*q == 'i') {
        value = {0.0, first};
        p = q + 1;
        return 0;
    }
    q = skip_blanks(q);
    if (*q != '+' && *q != '-') {
        value = {first, 0.0};
        p = q;
        return 0;
    }
    const bool second_negative = *q == '-';
    ++q;
    q = skip_blanks(q);
    double second = 1.0;
    if (parse_number(q, second) < 0) second = 1.0;
    if (*q != 'i') return -1;
    value = {first, second_negative ? -second : second};
    p = q + 1;
    return 0;
}

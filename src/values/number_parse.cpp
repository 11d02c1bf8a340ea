// Numeric literals and complex text.
#include "values/number_parse.h"

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
// fraction, an exponent or more than 15 digits goes to strtod.
bool read_small_integer(const char*& p, double& value) {
    const char* q = p;
    int64_t digits = 0;
    while (is_digit(*q) && q - p < 15) digits = digits * 10 + (*q++ - '0');
    if (q == p || is_digit(*q) || *q == '.' || *q == 'e' || *q == 'E') return false;
    value = static_cast<double>(digits);
    p = q;
    return true;
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
    // strtod also takes "inf", "nan" and hexadecimal floats; a literal is digits only,
    // so a "0x" that led to no hexadecimal digit is the number 0.
    if (!is_digit(p[0]) && !(p[0] == '.' && is_digit(p[1]))) return -1;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        value = 0.0;
        ++p;
        return 0;
    }
    if (read_small_integer(p, value)) return 0;
    char* end = nullptr;
    double parsed = std::strtod(p, &end);
    if (end == p) return -1;
    value = parsed;
    p = end;
    return 0;
}

int parse_complex_text(const char*& p, Complex& value) {
    const char* q = p;
    q = skip_blanks(q);
    double sign = 1.0;
    if (*q == '+' || *q == '-') {
        if (*q == '-') sign = -1.0;
        ++q;
        q = skip_blanks(q);
    }
    double first = 1.0;
    parse_number(q, first);
    first *= sign;
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
    double second_sign = (*q == '-') ? -1.0 : 1.0;
    ++q;
    q = skip_blanks(q);
    double second = 1.0;
    parse_number(q, second);
    if (*q != 'i') return -1;
    value = {first, second * second_sign};
    p = q + 1;
    return 0;
}

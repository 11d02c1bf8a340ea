// The α+βi display: suppression of negligible parts, "i" for the unit, grouping.
#include "values/number_format.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// Two parts of the widest print-using field (a conversion narrower than 310
// characters, yet a double may need 309 integer digits beside up to 309 decimals),
// a sign each, "i" and the commas of the real part.
constexpr size_t kLongest = 2048;
using Buffer = char[kLongest];

bool is_nonzero(double x) { return !(x == 0.0); }  // NaN counts as not zero

void append_formatted(Buffer& result, size_t& length, const char* format, double value) {
    int written = std::snprintf(result + length, sizeof result - length, format, value);
    if (written > 0) length = std::min(sizeof result - 1, length + static_cast<size_t>(written));
}

// "1" becomes "i", "+1"/"-1" become "+i"/"-i", anything else gains a trailing "i".
void mark_imaginary(Buffer& result, size_t& length, size_t start) {
    const char* text = result + start;
    if (std::strcmp(text, "1") == 0 || std::strcmp(text, "+1") == 0 || std::strcmp(text, "-1") == 0) {
        result[length - 1] = 'i';
    } else if (length + 1 < sizeof result) {
        result[length++] = 'i';
        result[length] = '\0';
    }
}

void group_integer_digits(Buffer& result, size_t& length) {
    char* dot = std::strchr(result, '.');
    size_t end = dot ? static_cast<size_t>(dot - result) : length;
    size_t digits = 0, commas = 0;
    char grouped[sizeof result + sizeof result / 3];
    size_t out = sizeof grouped - 1;
    grouped[out] = '\0';
    // Walk left from `end`, copying the tail and inserting commas among leading digits.
    for (size_t i = length; i > end; --i) grouped[--out] = result[i - 1];
    size_t i = end;
    while (i > 0 && result[i - 1] >= '0' && result[i - 1] <= '9') {
        grouped[--out] = result[--i];
        if (++digits % 3 == 0 && i > 0 && result[i - 1] >= '0' && result[i - 1] <= '9') {
            grouped[--out] = ',';
            ++commas;
        }
    }
    while (i > 0) grouped[--out] = result[--i];
    const char* text = grouped + out;
    while (commas > 0 && *text == ' ') {
        ++text;
        --commas;
    }
    length = std::min(std::strlen(text), sizeof result - 1);
    std::memcpy(result, text, length);
    result[length] = '\0';
}

}  // namespace

std::string format_number(const NumberFormat& format, double re, double im) {
    char spec[sizeof format.spec + 1];
    std::snprintf(spec, sizeof spec, "%s", format.spec);
    Buffer result;
    result[0] = '\0';
    size_t length = 0;

    // The sign of a NaN means nothing, yet printf shows it: every NaN reads "NAN".
    if (std::isnan(re)) re = std::copysign(re, 1.0);
    if (std::isnan(im)) im = std::copysign(im, 1.0);

    if (im != 0.0 && std::fabs(re / im) < 1e-15) re = 0.0;
    if (re != 0.0 && std::fabs(im / re) < 1e-15) im = 0.0;

    bool real_written = false;
    if (is_nonzero(re) || (re == 0.0 && im == 0.0)) {
        append_formatted(result, length, spec, re);
        real_written = true;
    }
    if (is_nonzero(im)) {
        if (real_written && is_nonzero(re) && !(spec[0] == '%' && spec[1] == '+')) {
            std::memmove(spec + 2, spec + 1, std::strlen(spec + 1) + 1);
            spec[1] = '+';
        }
        size_t start = length;
        append_formatted(result, length, spec, im);
        mark_imaginary(result, length, start);
    }
    if (format.group_thousands) group_integer_digits(result, length);
    return std::string(result, length);
}

std::string format_default(double re, double im) { return format_number(NumberFormat{}, re, im); }

// Turning a complex value into text: the one routine behind every number the
// interpreter shows, prints, writes or converts with str$.
#pragma once
#include <string>

struct NumberFormat {
    char spec[16] = "%1.15G";      // a printf conversion for one double
    bool group_thousands = false;  // commas between groups of three integer digits
};

std::string format_number(const NumberFormat& format, double re, double im);
std::string format_default(double re, double im);

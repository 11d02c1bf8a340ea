// state = state * 214013 + 2531011 (mod 2^32); value = (state >> 16) & 32767.
#include "values/random.h"

#include <cstdlib>

int RandomNumbers::next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 32767u);
}

void RandomNumbers::seed(int32_t n) { state_ = static_cast<uint32_t>(std::llabs(static_cast<int64_t>(n)) % 32767); }

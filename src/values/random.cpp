// state = state * 214013 + 2531011 (mod 2^32); value = (state >> 16) & 32767.
#include "values/random.h"

#include <cstdlib>

namespace random_numbers {
namespace {
uint32_t state = 1;
}

int next() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 32767u);
}

void seed(int32_t n) { state = static_cast<uint32_t>(std::llabs(static_cast<int64_t>(n)) % 32767); }

}  // namespace random_numbers

// The generator behind rnd() and rand(): a 32-bit linear congruential state that
// starts at 1, so every run without randomize repeats the same sequence.
#pragma once
#include <cstdint>

namespace random_numbers {

int next();  // 0 to 32767
void seed(int32_t n);

}  // namespace random_numbers

// The generator behind rnd() and rand(): a 32-bit linear congruential state that
// starts at 1, so every run without randomize repeats the same sequence. Each
// interpreter has its own.
#pragma once
#include <cstdint>

class RandomNumbers {
public:
    int next();  // 0 to 32767
    void seed(int32_t n);

private:
    uint32_t state_ = 1;
};

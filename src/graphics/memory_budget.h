// Whether a window of a given size fits in the memory the machine has free, so that a
// huge gopen fails with a message instead of driving the machine out of memory.
#pragma once
#include <cstdint>

class C_VMBAS;

// `shown`: a window on a screen also keeps a backing copy and the screen's pixels.
bool enough_memory_for_window(C_VMBAS& vm, int32_t n, int32_t width, int32_t height, bool shown);

// The memory check of gopen: what the window needs against MemAvailable, less a margin
// for everything else, counting the surface that the window gives back when re-opened.
#include "graphics/memory_budget.h"

#include <cstdio>

#include "interp/vmbas.h"

namespace {

constexpr double kMargin = 256.0 * 1024 * 1024;

// Bytes the kernel reports as available; negative when it cannot be read.
double available_bytes() {
    std::FILE* meminfo = std::fopen("/proc/meminfo", "r");
    if (!meminfo) return -1;
    char line[128];
    unsigned long long kib = 0;
    bool found = false;
    while (!found && std::fgets(line, sizeof line, meminfo)) found = std::sscanf(line, "MemAvailable: %llu kB", &kib) == 1;
    std::fclose(meminfo);
    return found ? double(kib) * 1024 : -1;
}

}  // namespace

bool enough_memory_for_window(C_VMBAS& vm, int32_t n, int32_t width, int32_t height, bool shown) {
    const double available = available_bytes();
    if (available < 0) return true;
    const double surface = double(zov::Surface::stride_for(width)) * height;
    const double needed = shown ? 2 * surface + 4.0 * width * height : surface;
    const zov::Surface& old = vm.graphics.windows[static_cast<size_t>(n)].surface;
    const double returned = double(old.stride()) * old.height() * (shown ? 2 : 1);
    return needed <= available + returned - kMargin;
}

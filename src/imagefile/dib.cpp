// Making bitmaps within the pixel limit, the limit itself, and bitmaps as surfaces.
#include "imagefile/dib.h"

#include <new>
#include <utility>

#include "base/diagnostics.h"
#include "imagefile/limits.h"

namespace imagefile {
namespace {
std::size_t pixel_limit = kDefaultMaxPixels;
}

std::size_t max_pixels() { return pixel_limit; }
void set_max_pixels(std::size_t pixels) { pixel_limit = pixels; }

std::optional<Dib> Dib::make(int64_t width, int64_t height, int bits) {
    if (!picture_size_allowed(width, height)) {
        ZOV_REPORT("画像サイズが無効");
        return std::nullopt;
    }
    Dib dib;
    dib.width = int(width);
    dib.height = int(height);
    dib.bits = bits;
    try {
        dib.pixels.assign(dib.stride() * std::size_t(height), 0);
    } catch (const std::bad_alloc&) {
        ZOV_REPORT("メモリ不足");
        return std::nullopt;
    }
    return dib;
}

zov::Surface to_surface(Dib&& dib) {
    if (dib.bits == 24) return zov::Surface(dib.width, dib.height, std::move(dib.pixels));
    zov::Surface surface(dib.width, dib.height, 0);
    for (int y = 0; y < dib.height; ++y) {
        const uint8_t* source = dib.row(y);
        uint8_t* target = surface.row(y);
        for (int x = 0; x < dib.width; ++x) {
            const unsigned index = index_at(source, x, dib.bits);
            if (index >= dib.palette.size()) continue;
            const Colour& colour = dib.palette[index];
            target[x * 3] = colour.blue;
            target[x * 3 + 1] = colour.green;
            target[x * 3 + 2] = colour.red;
        }
    }
    return surface;
}

}  // namespace imagefile

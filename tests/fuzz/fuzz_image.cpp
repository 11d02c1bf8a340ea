// Fuzz harness for one image reader, chosen when it is built (IMAGE_READER): the
// input is a whole file, read as load reads it and made into a surface.
#include <cstddef>
#include <cstdint>
#include <utility>

#include "imagefile/dib.h"
#include "imagefile/formats.h"
#include "imagefile/limits.h"

namespace {

// Keeps every allocation far below libFuzzer's memory limit.
constexpr std::size_t kMaxPixels = std::size_t(1) << 20;

// GIF files hold several images; the input's length picks one of the first three.
[[maybe_unused]] std::optional<imagefile::Dib> read_some_gif(imagefile::ByteSpan file) {
    return imagefile::read_gif(file, int(file.size() % 3));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = (imagefile::set_max_pixels(kMaxPixels), true);
    (void)ready;
    if (auto dib = IMAGE_READER(imagefile::ByteSpan(data, size))) {
        const zov::Surface surface = imagefile::to_surface(std::move(*dib));
        (void)surface;
    }
    return 0;
}

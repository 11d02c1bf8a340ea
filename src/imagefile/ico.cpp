// ICO files, as far as the classic 32 x 32 icon in 16 colours: one directory entry,
// the 4-bit image and its transparency mask. Transparent pixels show as gray.
#include "imagefile/byte_order.h"
#include "imagefile/formats.h"

namespace imagefile {
namespace {

constexpr std::size_t kIconFileBytes = 766;
constexpr std::size_t kEntryOffset = 6;
constexpr std::size_t kInfoOffset = 22;
constexpr std::size_t kPaletteOffset = kInfoOffset + 40;
constexpr std::size_t kPixelOffset = kPaletteOffset + 16 * 4;
constexpr std::size_t kMaskOffset = kPixelOffset + 32 * 16;
constexpr int kSide = 32;
constexpr uint8_t kTransparentIndex = 16;

}  // namespace

// The one directory entry and the info header's bit count.
bool is_ico(ByteSpan head) {
    if (head.size() < kInfoOffset + 16) return false;
    ByteReader entry(head.subspan(kEntryOffset));
    const uint8_t width = entry.u8();
    const uint8_t height = entry.u8();
    const uint8_t colours = entry.u8();
    entry.skip(5);
    const uint32_t resource_bytes = entry.u32();
    ByteReader info(head.subspan(kInfoOffset + 14));
    return width == kSide && height == kSide && colours == 16 && resource_bytes == 744 && info.u16() == 4;
}

std::optional<Dib> read_ico(ByteSpan file) {
    if (file.size() < kIconFileBytes || !is_ico(file)) return std::nullopt;

    auto dib = Dib::make(kSide, kSide, 8);
    if (!dib) return std::nullopt;
    dib->palette.assign(256, Colour{});
    for (std::size_t i = 0; i < 16; ++i) {
        const uint8_t* quad = file.data() + kPaletteOffset + i * 4;
        dib->palette[i] = Colour{quad[2], quad[1], quad[0]};
    }
    dib->palette[kTransparentIndex] = Colour{160, 160, 160};
    // Image and mask rows are both stored bottom row first, as the bitmap's are.
    for (std::size_t row = 0; row < kSide; ++row) {
        const uint8_t* pixels = file.data() + kPixelOffset + row * 16;
        const uint8_t* mask = file.data() + kMaskOffset + row * 4;
        uint8_t* target = dib->pixels.data() + row * dib->stride();
        for (std::size_t x = 0; x < kSide; ++x) {
            const bool transparent = mask[x / 8] >> (7 - x % 8) & 1;
            target[x] = transparent ? kTransparentIndex : uint8_t(pixels[x / 2] >> (x % 2 ? 0 : 4) & 15);
        }
    }
    return dib;
}

}  // namespace imagefile

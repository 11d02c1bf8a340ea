// How large a picture or file the image readers take on. A hostile file can claim any
// size; these bounds keep one load from exhausting memory.
#pragma once
#include <cstddef>
#include <cstdint>

namespace imagefile {

// The largest window, so whatever gsave wrote gload reads back.
constexpr int64_t kMaxWidth = 19200;
constexpr int64_t kMaxHeight = 10800;
constexpr std::size_t kDefaultMaxPixels = std::size_t(kMaxWidth * kMaxHeight);
// The largest picture as an uncompressed 24-bit file, with room for headers and
// palettes: no larger file is read, so a load holds at most about twice the largest
// picture, the file and the picture made of it.
constexpr std::size_t kMaxFileBytes = kDefaultMaxPixels * 3 + (std::size_t(1) << 20);

std::size_t max_pixels();
// For tests and fuzzing, which must stay far below the machine's memory.
void set_max_pixels(std::size_t pixels);

// Within the largest window's sides and the pixel limit.
inline bool picture_size_allowed(int64_t width, int64_t height) {
    return width >= 1 && height >= 1 && width <= kMaxWidth && height <= kMaxHeight &&
           uint64_t(width) * uint64_t(height) <= max_pixels();
}

}  // namespace imagefile

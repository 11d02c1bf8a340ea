// How large a picture or file the image readers take on. A hostile file can claim any
// size; these bounds keep one load from exhausting memory.
#pragma once
#include <cstddef>
#include <cstdint>

namespace imagefile {

// The largest window (19200 x 10800) fits, so whatever gsave wrote gload reads back.
constexpr std::size_t kDefaultMaxPixels = std::size_t(19200) * 10800;
// No picture file is read past this many bytes.
constexpr std::size_t kMaxFileBytes = std::size_t(1) << 30;

std::size_t max_pixels();
// For tests and fuzzing, which must stay far below the machine's memory.
void set_max_pixels(std::size_t pixels);

inline bool pixel_count_allowed(int64_t width, int64_t height) {
    return width >= 1 && height >= 1 && width <= int64_t(max_pixels()) &&
           uint64_t(width) * uint64_t(height) <= max_pixels();
}

}  // namespace imagefile

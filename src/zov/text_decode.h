// Bytes of the console code page to characters, each with the cells it takes.
#pragma once
#include <string_view>
#include <vector>

#include "zov/font.h"

namespace zov {

inline constexpr char32_t replacement_character = 0xFFFD;

struct Character {
    char32_t code;
    int cells;
};

// Never fails: a broken sequence becomes one replacement character per bad byte (a
// Shift-JIS pair that names no character becomes one of two cells).
std::vector<Character> decode_text(std::string_view text, TextEncoding encoding);


}  // namespace zov

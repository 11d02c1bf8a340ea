// The built-in bitmap font: printable ASCII in a 5 x 7 design, for machines with no
// font file at all.
#pragma once
#include <cstdint>

namespace zov::builtin_font {

inline constexpr int glyph_width = 5;
inline constexpr int glyph_height = 7;
// The design box around a glyph: one column and one row of spacing.
inline constexpr int box_width = 6;
inline constexpr int box_height = 8;

// The glyph's row (0 at the top) as bits, 0x10 the leftmost column. Characters that
// have no glyph give the rows of a hollow box.
uint8_t glyph_row(char32_t code, int row);

// Whether pixel (x, y) of a w x h cell is set for `code`: the design is scaled by
// whole numbers and centred when the cell is large enough, else sampled.
bool cell_pixel(char32_t code, int x, int y, int w, int h);

}  // namespace zov::builtin_font

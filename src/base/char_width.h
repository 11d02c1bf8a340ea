// Which characters take two cells of a fixed-pitch grid. A terminal gives two columns
// to the East Asian wide and fullwidth ones; pictures and printed pages also give two
// cells to every character Shift-JIS writes in two bytes (→, ○, ①, ×, α, box drawing),
// so that a text laid out in UTF-8 looks as it did in the Shift-JIS of old programs.
#pragma once

namespace base {

// Two columns at a terminal.
bool is_wide(char32_t code);

// Cells of a character drawn in a picture or printed on a page: 1 or 2.
int drawn_cells(char32_t code);

}  // namespace base

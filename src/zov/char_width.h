// Which characters take two cells of a fixed-pitch grid: the East Asian wide and
// fullwidth ones. The console, the printer and the drawing layer count cells alike.
#pragma once

namespace zov {

bool is_wide(char32_t code);

}  // namespace zov
